#include "core/shell/addresses.h"
#include "shell/enciphered_addresses.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

struct AddressRow {
    const char *name;
    const char *address;
};
void PrintTo(const AddressRow &row, std::ostream *os) {
    *os << row.name;
}

class CipherRoundTrip : public testing::TestWithParam<AddressRow> {};

TEST_P(CipherRoundTrip, DeciphersToTheSameAddress) {
    const QString address = QString::fromUtf8(GetParam().address);
    const QString numbers = encipherAddress(address);
    EXPECT_FALSE(numbers.contains(address.left(4))) << numbers.toStdString();
    EXPECT_EQ(decipherAddress(numbers), address) << numbers.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, CipherRoundTrip,
    testing::Values(AddressRow{"LocalPage", "tutorial.html"},
                    AddressRow{"WebAddress", "https://example.org/quarbel/?page=1&lang=zh#top"},
                    AddressRow{"ChineseText", "帮助/医学统计学.html"},
                    AddressRow{"LongerThanTheKeyCycle",
                               "https://example.org/a/very/long/path/that/runs/past/two/"
                               "hundred/and/fifty/six/bytes/so/the/rolling/key/wraps/around/"
                               "at/least/once/before/it/ends/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa/"
                               "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb/"
                               "index.html"}),
    [](const auto &row) { return std::string(row.param.name); });

struct MalformedRow {
    const char *name;
    const char *numbers;
};
void PrintTo(const MalformedRow &row, std::ostream *os) {
    *os << row.name;
}

class MalformedCipher : public testing::TestWithParam<MalformedRow> {};

TEST_P(MalformedCipher, GivesNoAddress) {
    EXPECT_TRUE(decipherAddress(QString::fromUtf8(GetParam().numbers)).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Texts, MalformedCipher,
                         testing::Values(MalformedRow{"Empty", ""}, MalformedRow{"Blank", "  "},
                                         MalformedRow{"NotANumber", "61,x,247"},
                                         MalformedRow{"AboveAByte", "61,256,247"},
                                         MalformedRow{"Negative", "61,-1,247"},
                                         MalformedRow{"EmptyField", "61,,247"},
                                         MalformedRow{"TrailingComma", "61,19,"}),
                         [](const auto &row) { return std::string(row.param.name); });

// The build enciphers the addresses itself; they must come back as what was configured.
TEST(BuiltAddresses, DecipherToTheConfiguredPages) {
    EXPECT_EQ(decipherAddress(QString::fromLatin1(enciphered::tutorial)),
              QStringLiteral("tutorial.html"));
    EXPECT_EQ(decipherAddress(QString::fromLatin1(enciphered::help)), QStringLiteral("help.html"));
    EXPECT_EQ(decipherAddress(QString::fromLatin1(enciphered::homePage)),
              QString::fromUtf8(QUARBEL_HOME_PAGE_TEXT));
    EXPECT_EQ(QLatin1String(enciphered::tutorial),
              encipherAddress(QStringLiteral("tutorial.html")));
}

struct ResolveRow {
    const char *name;
    const char *address;
    const char *helpDir;
    const char *expected; // empty: nothing to open
};
void PrintTo(const ResolveRow &row, std::ostream *os) {
    *os << row.name;
}

class ResolveAddress : public testing::TestWithParam<ResolveRow> {};

TEST_P(ResolveAddress, GivesTheUrlToOpen) {
    const ResolveRow &row = GetParam();
    const QUrl url = resolveAddress(QString::fromUtf8(row.address), QString::fromUtf8(row.helpDir));
    EXPECT_EQ(url.toString().toStdString(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, ResolveAddress,
    testing::Values(
        ResolveRow{"PageInHelpFolder", "help.html", "/opt/q/share/quarbel/help",
                   "file:///opt/q/share/quarbel/help/help.html"},
        ResolveRow{"WebAddressKept", "https://example.org/q", "/opt/help", "https://example.org/q"},
        ResolveRow{"WebAddressWithoutHelp", "https://example.org/q", "", "https://example.org/q"},
        ResolveRow{"PageWithoutHelpFolder", "help.html", "", ""},
        ResolveRow{"EmptyAddress", "", "/opt/help", ""},
        ResolveRow{"DriveLetterIsAPath", "C:/help/index.html", "", ""}),
    [](const auto &row) { return std::string(row.param.name); });

void touch(const QString &path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(FindHelpDir, PrefersTheInstalledLayout) {
    QTemporaryDir root;
    touch(root.filePath(QStringLiteral("share/quarbel/help/index.html")));
    touch(root.filePath(QStringLiteral("bin/help/index.html")));
    QDir().mkpath(root.filePath(QStringLiteral("bin")));
    EXPECT_EQ(findHelpDir(root.filePath(QStringLiteral("bin"))),
              root.filePath(QStringLiteral("share/quarbel/help")));
}

TEST(FindHelpDir, FallsBackToTheBuildTree) {
    QTemporaryDir root;
    touch(root.filePath(QStringLiteral("build/help/index.html")));
    EXPECT_EQ(findHelpDir(root.filePath(QStringLiteral("build"))),
              root.filePath(QStringLiteral("build/help")));
}

TEST(FindHelpDir, IsEmptyWithoutAnIndexPage) {
    QTemporaryDir root;
    touch(root.filePath(QStringLiteral("build/help/tutorial.html")));
    EXPECT_TRUE(findHelpDir(root.filePath(QStringLiteral("build"))).isEmpty());
}

struct CalculatorRow {
    const char *name;
    bool windows;
    std::vector<const char *> installed;
    const char *expected;
};
void PrintTo(const CalculatorRow &row, std::ostream *os) {
    *os << row.name;
}

class ChooseCalculator : public testing::TestWithParam<CalculatorRow> {};

TEST_P(ChooseCalculator, TakesTheFirstInstalled) {
    const CalculatorRow &row = GetParam();
    const QString chosen = chooseCalculator(row.windows, [&](const QString &name) {
        for (const char *installed : row.installed)
            if (name == QLatin1String(installed))
                return true;
        return false;
    });
    EXPECT_EQ(chosen.toStdString(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Systems, ChooseCalculator,
    testing::Values(
        CalculatorRow{"Windows", true, {}, "calc.exe"},
        CalculatorRow{"Gnome", false, {"gnome-calculator", "xcalc"}, "gnome-calculator"},
        CalculatorRow{"KdeBeforeXcalc", false, {"xcalc", "kcalc"}, "kcalc"},
        CalculatorRow{"OrderNotInstallOrder", false, {"qalculate-gtk", "mate-calc"}, "mate-calc"},
        CalculatorRow{"OnlyXcalc", false, {"xcalc"}, "xcalc"},
        CalculatorRow{"Galculator", false, {"galculator"}, "galculator"},
        CalculatorRow{"None", false, {}, ""},
        CalculatorRow{"UnknownCalculatorsIgnored", false, {"calc.exe", "bc"}, ""}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
