# Native tools over the portable core come here as they are built.
