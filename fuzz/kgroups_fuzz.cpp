// Long-form columns from the bytes into the comparison of up to ten groups: codes that make
// one group, eleven groups or codes of 10¹⁴, groups of one value or of one repeated value,
// values huge beside tiny ones, empty cells on either side. Nothing may throw or crash, every
// shown text keeps its field's pattern, P stays in [0, 1], each interval holds its difference,
// running totals equal a fresh pass, and the result from totals agrees with the whole analysis.
#include "core/entry/column_list.h"
#include "core/kgroups/k_groups.h"
#include "fuzz_support.h"

#include <limits>
#include <vector>

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;
using quarbel::fuzz::isPlainPattern;

namespace {

bool isPValue(const QString &s) {
    if (s == QLatin1String("<0.001"))
        return true;
    bool ok = false;
    const double p = s.toDouble(&ok);
    return ok && p >= 0 && p <= 1 && s.size() == 5 && s[1] == u'.';
}

bool isWhole(const QString &s) {
    bool ok = false;
    return s.toLongLong(&ok) >= 0 && ok;
}

// Four bytes a row: the kinds of value and code, then a byte of each.
void columnsOf(const std::uint8_t *data, std::size_t size, std::vector<std::int64_t> &value,
               std::vector<std::int64_t> &group) {
    for (std::size_t i = 0; i + 3 < size; i += 4) {
        const std::uint8_t kinds = data[i], v = data[i + 1], g = data[i + 2], extra = data[i + 3];
        std::int64_t x;
        switch (kinds % 8) {
        case 0:
            x = ColumnList::Missing;
            break;
        case 1:
            x = (v % 4) * 10000; // whole values, ties everywhere
            break;
        case 2:
            x = std::int64_t(1'000'000'000'000'000'000) + v;
            break;
        case 3:
            x = std::numeric_limits<std::int64_t>::max() - v * 977;
            break;
        case 4:
            x = std::numeric_limits<std::int64_t>::min() + 1 + v;
            break;
        case 5:
            x = 70000; // one repeated value
            break;
        default:
            x = (std::int64_t(v) << 8 | extra) - 32768;
            break;
        }
        std::int64_t c;
        switch ((kinds >> 3) % 6) {
        case 0:
            c = ColumnList::Missing;
            break;
        case 1:
            c = std::int64_t(1'000'000'000'000'000'000) * (g % 3); // 10¹⁴ and its multiples
            break;
        case 2:
            c = 10000; // one group
            break;
        default:
            c = (g % 12) * 5000 - 20000; // up to twelve codes, negative and halves among them
            break;
        }
        value.push_back(x);
        group.push_back(c);
    }
}

void checkResult(const KGroupsResult &r) {
    FUZZ_CHECK(r.groups.size() <= std::size_t(KGroupsMax));
    FUZZ_CHECK(r.groups.size() == r.codes.size());
    const std::size_t k = r.groups.size();
    FUZZ_CHECK(r.pairs.size() == (k < 2 ? 0 : k * (k - 1) / 2));
    for (const KGroupTexts &g : r.groups) {
        FUZZ_CHECK(isPlainPattern(g.code) && isWhole(g.n));
        for (const QString &t : {g.mean, g.sd, g.median, g.p25, g.p75})
            FUZZ_CHECK(t.isEmpty() || isDisplayPattern(t));
        FUZZ_CHECK(g.shapiroP.isEmpty() || isPValue(g.shapiroP));
        FUZZ_CHECK(!g.mean.isEmpty() && (g.n == u"1") == g.sd.isEmpty());
    }
    for (const DetailItem &item : r.tests.items) {
        const QString &t = item.text;
        if (t.isEmpty())
            continue;
        if (item.name.endsWith(u'P'))
            FUZZ_CHECK(isPValue(t));
        else if (item.name.contains(QLatin1String("Df")))
            FUZZ_CHECK(isWhole(t) || isDisplayPattern(t + QStringLiteral("00")));
        else
            FUZZ_CHECK(isDisplayPattern(t));
    }
    for (const QStringList &pair : r.pairs) {
        FUZZ_CHECK(pair.size() == 9);
        for (int c : {2, 3, 4, 7})
            FUZZ_CHECK(pair[c].isEmpty() || isDisplayPattern(pair[c]));
        for (int c : {5, 6, 8})
            FUZZ_CHECK(pair[c].isEmpty() || isPValue(pair[c]));
        FUZZ_CHECK(pair[3].isEmpty() == pair[4].isEmpty());
        if (!pair[3].isEmpty())
            FUZZ_CHECK(pair[3].toDouble() <= pair[2].toDouble() &&
                       pair[2].toDouble() <= pair[4].toDouble());
    }
    FUZZ_CHECK(!r.tests.note.contains(QLatin1String("nan")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::vector<std::int64_t> value, group;
    columnsOf(data, size, value, group);
    // A shorter group column: the rows past its end have no code.
    if (size % 3 == 0 && !group.empty())
        group.pop_back();
    const KGroupsColumns columns{value, group};
    const KGroupsResult whole = analyseKGroups(columns);
    checkResult(whole);

    KGroupTotals typed;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::int64_t c = i < group.size() ? group[i] : ColumnList::Missing;
        typed.codeChanged(ColumnList::Missing, ColumnList::Missing, c);
        typed.valueChanged(ColumnList::Missing, value[i], c);
    }
    FUZZ_CHECK(typed == KGroupTotals::of(columns));
    const KGroupsResult means = kGroupMeans(typed);
    checkResult(means);
    FUZZ_CHECK(means.groups.size() == whole.groups.size());
    for (std::size_t i = 0; i < whole.pairs.size(); ++i)
        FUZZ_CHECK(means.pairs[i].mid(0, 7) == whole.pairs[i].mid(0, 7));

    const std::vector<KGroupPicture> picture = kGroupsPicture(columns);
    FUZZ_CHECK(picture.size() == whole.groups.size());
    (void)kGroupsReport(whole);
    return 0;
}
