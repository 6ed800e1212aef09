#include <QImage>
#include <QToolBar>
#include <gtest/gtest.h>

#include "app/app_resources.h"
#include "app/rebar.h"
#include "app/toolbar_layouts.h"
#include "support/test_application.h"
#include "app_fakes.h"

namespace {

const app::ToolBarLayout* const kLayouts[] = {&app::NavigationBarLayout(), &app::UserGroupBarLayout(), &app::SyncBarLayout(),
                                         &app::LocationBarLayout()};

TEST(ToolBarResourcesTest, EveryStripHoldsOneImageOfTheStatedSizePerButton)
{
    testsupport::TestApplication();
    for (const app::ToolBarLayout* layout : kLayouts) {
        SCOPED_TRACE(layout->resourceId);
        const QImage strip(layout->ImagePath());
        ASSERT_FALSE(strip.isNull());
        EXPECT_EQ(strip.width(), layout->imageSize.width() * static_cast<int>(layout->buttons.size()));
        EXPECT_EQ(strip.height(), layout->imageSize.height());
        const QList<QPixmap> images = app::ToolBarImages(*layout);
        ASSERT_EQ(images.size(), static_cast<qsizetype>(layout->buttons.size()));
        for (const QPixmap& image : images) {
            EXPECT_EQ(image.size(), layout->imageSize);
            // Something is drawn on each, and the background shows through.
            const QImage pixels = image.toImage();
            bool opaque = false, transparent = false;
            for (int y = 0; y < pixels.height(); ++y)
                for (int x = 0; x < pixels.width(); ++x)
                    (qAlpha(pixels.pixel(x, y)) ? opaque : transparent) = true;
            EXPECT_TRUE(opaque && transparent);
        }
    }
}

class ReBarTest : public apptest::WithApplication, public ::testing::Test {
protected:
    void SetUp() override
    {
        for (QToolBar*& bar : m_bars) {
            bar = new QToolBar;
            bar->addAction("x");
            m_rebar.AddBand(bar);
        }
        m_rebar.resize(600, 40);
        m_rebar.show();
    }

    app::ReBar m_rebar;
    QToolBar* m_bars[3] = {};
};

TEST_F(ReBarTest, AMinimisedBandHidesItsBarAndComesBack)
{
    m_rebar.MinimizeBand(0);
    EXPECT_TRUE(m_rebar.IsBandMinimized(0));
    EXPECT_TRUE(m_rebar.IsBandShown(0));
    EXPECT_FALSE(m_bars[0]->isVisible());
    EXPECT_TRUE(m_bars[1]->isVisible());
    m_rebar.RestoreBand(0);
    EXPECT_FALSE(m_rebar.IsBandMinimized(0));
    EXPECT_TRUE(m_bars[0]->isVisible());
}

TEST_F(ReBarTest, HiddenBandsTakeTheirBarsAlong)
{
    m_rebar.ShowBand(0, false);
    m_rebar.ShowBand(2, false);
    EXPECT_FALSE(m_rebar.IsBandShown(0));
    EXPECT_FALSE(m_bars[0]->isVisible());
    EXPECT_TRUE(m_bars[1]->isVisible());
    EXPECT_FALSE(m_bars[2]->isVisible());
    m_rebar.ShowBand(0, true);
    EXPECT_TRUE(m_bars[0]->isVisible());
    // Out of range does nothing.
    m_rebar.ShowBand(7, false);
    m_rebar.MinimizeBand(-1);
}

} // namespace

TEST(IconThemeTest, ThePackagesThemeStandsInWhereThePlatformNamesNone)
{
    testsupport::TestApplication();
    const QString theme = QIcon::themeName(), fallback = QIcon::fallbackThemeName();
    const struct {
        const char* named;
        const char* wantTheme;
        const char* wantFallback;
    } cases[] = {{"", app::kIconTheme, "hicolor"},
                 {"hicolor", app::kIconTheme, "hicolor"},
                 {"breeze", "breeze", app::kIconTheme}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        QIcon::setThemeName(QString::fromLatin1(c.named));
        QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
        app::UseIconThemeWhereNoneIsNamed();
        EXPECT_EQ(QIcon::themeName(), QString::fromLatin1(c.wantTheme));
        EXPECT_EQ(QIcon::fallbackThemeName(), QString::fromLatin1(c.wantFallback));
    }
    QIcon::setThemeName(theme);
    QIcon::setFallbackThemeName(fallback);
}
