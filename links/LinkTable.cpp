#include "links/LinkTable.h"

const char* FindLink(int32_t folder, int32_t item) {
    for (const LinkRow& row : LinkTable) {
        if (row.m_folder == folder && row.m_item == item) {
            return row.m_link;
        }
    }
    return nullptr;
}
