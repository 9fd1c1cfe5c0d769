/* C/Migemo's object with its tables given from memory: the library reads
 * tables only from files, and the program must read romaji without its
 * dictionary folder. migemo.c is compiled here, so that its object's
 * tables can be reached; nothing of the library is changed. */
#include "migemo.c"

#include "search/migemo_access.h"

/* Code page 932 characters out as they are: no escapes, since the caller
 * reads the pattern with operators of control bytes. */
static int kst_int2char_plain(unsigned int in, unsigned char* out)
{
    if (in >= 0x100) {
        if (out) {
            out[0] = (unsigned char)((in >> 8) & 0xFF);
            out[1] = (unsigned char)(in & 0xFF);
        }
        return 2;
    }
    if (out) out[0] = (unsigned char)in;
    return 1;
}

migemo* kst_migemo_open_cp932(void)
{
    migemo* obj = migemo_open(NULL);
    if (!obj) return NULL;
    obj->charset = CHARSET_CP932;
    obj->char2int = cp932_char2int;
    migemo_setproc_char2int(obj, (MIGEMO_PROC_CHAR2INT)cp932_char2int);
    migemo_setproc_int2char(obj, (MIGEMO_PROC_INT2CHAR)kst_int2char_plain);
    romaji_setproc_char2int(obj->roma2hira, (ROMAJI_PROC_CHAR2INT)cp932_char2int);
    romaji_setproc_char2int(obj->hira2kata, (ROMAJI_PROC_CHAR2INT)cp932_char2int);
    romaji_setproc_char2int(obj->han2zen, (ROMAJI_PROC_CHAR2INT)cp932_char2int);
    romaji_setproc_char2int(obj->zen2han, (ROMAJI_PROC_CHAR2INT)cp932_char2int);
    return obj;
}

int kst_migemo_add_table_entry(migemo* obj, int dict_id, const unsigned char* key, const unsigned char* value)
{
    romaji* table = NULL;
    if (!obj) return 0;
    switch (dict_id) {
    case MIGEMO_DICTID_ROMA2HIRA: table = obj->roma2hira; break;
    case MIGEMO_DICTID_HIRA2KATA: table = obj->hira2kata; break;
    case MIGEMO_DICTID_HAN2ZEN: table = obj->han2zen; break;
    case MIGEMO_DICTID_ZEN2HAN: table = obj->zen2han; break;
    default: return 0;
    }
    return romaji_add_table(table, key, value) == 0 ? 1 : 0;
}

int kst_migemo_has_dictionary(migemo* obj)
{
    return obj && obj->enable ? 1 : 0;
}

void kst_migemo_set_plain_operators(migemo* obj)
{
    migemo_set_operator(obj, MIGEMO_OPINDEX_OR, (const unsigned char*)"\x01");
    migemo_set_operator(obj, MIGEMO_OPINDEX_NEST_IN, (const unsigned char*)"\x02");
    migemo_set_operator(obj, MIGEMO_OPINDEX_NEST_OUT, (const unsigned char*)"\x03");
    migemo_set_operator(obj, MIGEMO_OPINDEX_SELECT_IN, (const unsigned char*)"\x04");
    migemo_set_operator(obj, MIGEMO_OPINDEX_SELECT_OUT, (const unsigned char*)"\x05");
    migemo_set_operator(obj, MIGEMO_OPINDEX_NEWLINE, (const unsigned char*)"");
}
