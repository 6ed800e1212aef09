#pragma once
#include <QWidget>

namespace browser {

// The page shown while no location is selected, titled "Nada": the
// program's title, large, bold and italic, in the middle.
class StartPage : public QWidget {
    Q_OBJECT
public:
    explicit StartPage(QWidget* parent = nullptr);

    static QString title();  // "Quillon"

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace browser
