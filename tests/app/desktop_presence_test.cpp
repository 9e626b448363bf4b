#include "desktop_presence.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetricsF>

namespace kavlo {
namespace {

bool latinMonospaced(const QFont& font) {
    const QFontMetricsF metrics(font);
    return metrics.horizontalAdvance("iiii") == metrics.horizontalAdvance("WWWW");
}

TEST(DesktopPresence, QtsOwnButtonsSpeakTheLocalesLanguageJapaneseWhereTheLocaleIsC) {
    const std::pair<QLocale, QString> cases[] = {
        {QLocale::c(), "はい(&Y)"},
        {QLocale(QLocale::Japanese, QLocale::Japan), "はい(&Y)"},
        {QLocale(QLocale::German, QLocale::Germany), "&Ja"},
    };
    for (const auto& [locale, yes] : cases) {
        const auto translator = qtTranslation(locale);
        ASSERT_TRUE(translator) << locale.name().toStdString();
        QCoreApplication::installTranslator(translator.get());
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), yes);
    }
}

TEST(DesktopPresence, WidgetsTakeAProportionalFaceOnlyWhereTheDefaultSetsLatinMonospaced) {
    const QFont typed("IPAGothic", 9);
    ASSERT_TRUE(latinMonospaced(typed));
    const QFont chosen = proportionalUiFont(typed);
    EXPECT_FALSE(latinMonospaced(chosen));
    EXPECT_EQ(chosen.pointSize(), 9);
    const QFont proportional("Liberation Sans", 11);
    EXPECT_EQ(proportionalUiFont(proportional), proportional);
    EXPECT_FALSE(applicationIcon().availableSizes().isEmpty());
}

}  // namespace
}  // namespace kavlo
