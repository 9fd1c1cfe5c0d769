/* What the program adds to C/Migemo's interface (search/migemo_access.c). */
#ifndef KST_SEARCH_MIGEMO_ACCESS_H
#define KST_SEARCH_MIGEMO_ACCESS_H

#include <stddef.h>

#include "migemo.h"

#ifdef __cplusplus
extern "C" {
#endif

/* An object without tables or dictionary, reading and writing code page 932. */
migemo* kst_migemo_open_cp932(void);
/* One line of a romaji or width table (dict_id as for migemo_load). 1/0. */
int kst_migemo_add_table_entry(migemo* obj, int dict_id, const unsigned char* key, const unsigned char* value);
int kst_migemo_has_dictionary(migemo* obj);
/* The operators search/pattern_expand.h reads: control bytes, no newline
 * operator. */
void kst_migemo_set_plain_operators(migemo* obj);

/* The tables of C/Migemo's dict folder, put in the program by the build. */
extern const unsigned char kst_migemo_table_roma2hira[];
extern const size_t kst_migemo_table_roma2hira_size;
extern const unsigned char kst_migemo_table_hira2kata[];
extern const size_t kst_migemo_table_hira2kata_size;
extern const unsigned char kst_migemo_table_han2zen[];
extern const size_t kst_migemo_table_han2zen_size;
extern const unsigned char kst_migemo_table_zen2han[];
extern const size_t kst_migemo_table_zen2han_size;

#ifdef __cplusplus
}
#endif

#endif
