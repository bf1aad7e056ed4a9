#include "core/exchange/gsf_support.h"

#include <gsf/gsf-utils.h>

#include <mutex>

namespace quarbel::workbook_detail {

void ensureGsf() {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

} // namespace quarbel::workbook_detail
