#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <utility>

namespace quarbel {

// One value of a method's "详细结果" box: the object name of its label, the caption shown
// beside it and its text (empty while undefined). Reports read the same items, so a value is
// named once, here in the computation that makes it.
struct DetailItem {
    QString name;
    QString caption;
    QString text;
    friend bool operator==(const DetailItem &, const DetailItem &) = default;
};

// Every detail of one method in display order, and the one-line note that says what decided
// the result (empty when there is nothing to say). The items are always all there, so a panel
// can lay out its box from a result of empty inputs.
struct Details {
    QList<DetailItem> items;
    QString note;

    // The text of the item called `name`; empty when there is none.
    QString text(QStringView name) const {
        for (const DetailItem &item : items)
            if (item.name == name)
                return item.text;
        return {};
    }
    friend bool operator==(const Details &, const Details &) = default;
};

// Details with one empty item per (object name, caption) pair, in order. A method lists its
// items once in this form, sized by its item enum so the two cannot drift apart.
template <std::size_t N>
Details emptyDetails(const std::array<std::pair<const char *, const char *>, N> &items) {
    Details d;
    for (const auto &[name, caption] : items)
        d.items.append({QString::fromLatin1(name), QString::fromUtf8(caption), QString()});
    return d;
}

} // namespace quarbel
