#pragma once
#include <cstdint>

// Handler of the service bar's item-click event: opens the item's link, if it has one.
void onServiceItemClicked(int32_t folder, int32_t item);

// Hands one link to the desktop's default handler for its kind.
void openLink(const char* link);
