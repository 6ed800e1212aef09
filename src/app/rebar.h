#pragma once
#include <QFrame>
#include <vector>

class QHBoxLayout;
class QToolBar;

namespace app {

class ReBarBand;

// Toolbars side by side on one row, each in a band behind a gripper, bands
// separated by a thin border. A minimised band shrinks to its gripper; a
// click on the gripper brings it back, another minimises it again. Hidden
// bands take no room.
class ReBar : public QFrame {
    Q_OBJECT
public:
    explicit ReBar(QWidget* parent = nullptr);
    ~ReBar() override;

    // Adds the bar as the last band; returns the band's index.
    int AddBand(QToolBar* bar);
    int BandCount() const { return static_cast<int>(m_bands.size()); }
    QToolBar* Band(int index) const;
    int IndexOf(const QToolBar* bar) const;

    void MinimizeBand(int index);
    void RestoreBand(int index);
    bool IsBandMinimized(int index) const;

    void ShowBand(int index, bool show);
    bool IsBandShown(int index) const;

private:
    ReBarBand* At(int index) const;
    void UpdateBorders();

    QHBoxLayout* m_layout;
    std::vector<ReBarBand*> m_bands;
};

} // namespace app
