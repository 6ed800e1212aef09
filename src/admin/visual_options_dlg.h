#pragma once
#include <QDialog>
#include <QString>
#include <array>

#include "config/records.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace framework {
class ModalSeam;
}

// "Visual Options": how a location looks when a user browses it. It lives
// inside the location editor, which fills it, runs it as often as the
// administrator asks and stores its members with the location. A style
// chosen in a list is taken at once, so it stays even when a run ends with
// Cancel; the image path and the check box are taken only by OK.
class CVisualOptionsDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 147 };

    struct Style {
        const char* text;
        int value;
    };
    static const std::array<Style, 3> kImageStyles;
    static const std::array<Style, 7> kViewStyles;

    explicit CVisualOptionsDlg(framework::ModalSeam& seam, QWidget* parent = nullptr);

    bool LoadFromItem(const CTSAppDataItem& item);
    bool StoreToItem(CTSAppDataItem& item) const;

    // What every run starts with: the controls from the members.
    void InitDialog();
    // Moves the image path and the check box between members and controls.
    void UpdateData(bool saveAndValidate);

    QString m_strImagePath;
    bool m_bShowCommonTasks = false;
    int m_nImageStyle = 0;  // -1: none selected
    int m_nViewStyle = 1;   // -1: none selected
    QComboBox* m_imageStyleCombo;
    QComboBox* m_viewStyleCombo;

    void accept() override;

private:
    void FillStyleCombos();
    void OnBrowse();
    void OnImageStyleChanged();
    void OnViewStyleChanged();
    void OnImagePathChanged();

    framework::ModalSeam& m_seam;
    QCheckBox* m_showCommonTasks;
    QLineEdit* m_imagePath;
};
