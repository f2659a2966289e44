// The lookup on Windows 95 to 2000, whose shell32 lacks the function.
#include "open/select.h"

SelectItemsFunction FindSelectItems() {
    return nullptr;
}
