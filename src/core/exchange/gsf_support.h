#pragma once

namespace quarbel::workbook_detail {

// libgsf must be initialised once per process before its first use; safe from any thread.
void ensureGsf();

} // namespace quarbel::workbook_detail
