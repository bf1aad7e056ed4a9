// Arbitrary text through the cell rules, the strict and leading-number readings and every
// display form: nothing may crash, and each form must keep its pattern and read back.
#include "core/entry/cell_rules.h"
#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;
using quarbel::fuzz::isPlainPattern;

namespace {

bool acceptableLast(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

void checkCellRules(const QString &text) {
    for (int mask = 0; mask < 4; ++mask) {
        const CellRules rules{(mask & 1) != 0, (mask & 2) != 0, false};
        const QString once = applyCellRules(text, rules);
        // A cell writes the cleaned text back and re-enters: one round must settle it.
        FUZZ_CHECK(applyCellRules(once, rules) == once);
        if (rules.fullStops)
            FUZZ_CHECK(!once.contains(QChar(0x3002)));
        if (rules.trailingFilter)
            FUZZ_CHECK(once.isEmpty() || acceptableLast(once.back()));
        if (!rules.fullStops)
            FUZZ_CHECK(text.startsWith(once));
    }
}

void checkFixed(Fixed4 v) {
    const QString shown = displayForm(v);
    FUZZ_CHECK(isDisplayPattern(shown));
    const auto back = Fixed4::parse(shown);
    FUZZ_CHECK(back && *back == v);
    const QString plain = plainForm(v);
    FUZZ_CHECK(isPlainPattern(plain));
    const auto plainBack = Fixed4::parse(plain);
    FUZZ_CHECK(plainBack && *plainBack == v);
    // Below 10^11 fifteen significant digits hold every tick, so the double route agrees.
    if (v.ticks() > -1'000'000'000'000'000 && v.ticks() < 1'000'000'000'000'000) {
        FUZZ_CHECK(displayForm(v.toDouble()) == shown);
        FUZZ_CHECK(plainForm(v.toDouble()) == plain);
    }
}

void checkDouble(double x) {
    const QString shown = displayForm(x);
    FUZZ_CHECK(shown.isEmpty() == !std::isfinite(x));
    FUZZ_CHECK(shown.isEmpty() || isDisplayPattern(shown));
    const QString plain = plainForm(x);
    FUZZ_CHECK(plain.isEmpty() == !std::isfinite(x));
    FUZZ_CHECK(plain.isEmpty() || isPlainPattern(plain));
    if (const auto r = roundHalfEven(x))
        FUZZ_CHECK(std::fabs(double(*r) - x) <= 0.5);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text = quarbel::fuzz::textOf(data, size);
    checkCellRules(text);

    if (const auto v = Fixed4::parse(text))
        checkFixed(*v);
    const double lead = leadingNumber(text);
    checkDouble(lead);
    // A text that is a plain number alone reads exactly as the full conversion reads it.
    const QString trimmed = text.trimmed();
    bool converted = false;
    const double full = trimmed.toDouble(&converted);
    if (converted && std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'+';
        }))
        FUZZ_CHECK(std::memcmp(&lead, &full, sizeof lead) == 0);
    const QString formed = displayFormText(text);
    FUZZ_CHECK(formed == text || formed.isEmpty() || isDisplayPattern(formed));

    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkDouble(raw);
        std::int64_t ticks;
        std::memcpy(&ticks, data, sizeof ticks);
        if (ticks != ColumnList::Missing)
            checkFixed(Fixed4::fromTicks(ticks));
    }

    ColumnList list(QStringLiteral("List1"));
    const QStringList lines = quarbel::fuzz::linesOf(data, size);
    list.replaceAll(lines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto v = Fixed4::parse(lines[i]);
        FUZZ_CHECK(list.ticks()[std::size_t(i)] == (v ? v->ticks() : ColumnList::Missing));
    }
    return 0;
}
