#include "app/ui/ColourThemes.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <array>

namespace {

const std::array<TColourTheme, ColourThemeCount>& themes()
{
    static const std::array<TColourTheme, ColourThemeCount> all{{
        {QStringLiteral("Default"), QColor(214, 223, 247), QColor(228, 234, 250), QColor(49, 106, 197),
         QColor(226, 230, 246)},
        {QStringLiteral("Gray"), QColor(212, 212, 212), QColor(230, 230, 230), QColor(105, 105, 105),
         QColor(236, 236, 236)},
        {QStringLiteral("Orange"), QColor(250, 224, 186), QColor(252, 237, 214), QColor(222, 118, 22),
         QColor(248, 242, 224)},
        {QStringLiteral("Purple"), QColor(228, 208, 236), QColor(240, 226, 245), QColor(122, 58, 158),
         QColor(246, 230, 241)},
        {QStringLiteral("Red"), QColor(240, 204, 204), QColor(247, 224, 224), QColor(184, 36, 36),
         QColor(247, 225, 225)},
        {QStringLiteral("Green"), QColor(204, 234, 204), QColor(226, 245, 226), QColor(42, 132, 56),
         QColor(226, 247, 225)},
        {QStringLiteral("Light blue"), QColor(204, 230, 246), QColor(226, 241, 251), QColor(32, 136, 198),
         QColor(225, 240, 247)},
    }};
    return all;
}

void useFusion()
{
    if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

} // namespace

bool IsColourThemeIndex(int index)
{
    return index >= 0 && index < ColourThemeCount;
}

const TColourTheme& ColourTheme(int index)
{
    return themes()[IsColourThemeIndex(index) ? index : 0];
}

QPalette ColourThemePalette(int index)
{
    const TColourTheme& t = ColourTheme(index);
    QPalette p(t.Button, t.Window);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, t.OddRowTint);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Highlight, t.Highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    return p;
}

void TThemeManager::ApplyTheme(int index)
{
    if (!IsColourThemeIndex(index))
        return;
    useFusion();
    QApplication::setPalette(ColourThemePalette(index));
    theme_ = index;
    emit ThemeChanged(index);
}

void ApplyDesignTimeTheme()
{
    useFusion();
    QApplication::setPalette(ColourThemePalette(0));
}
