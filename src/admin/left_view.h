#pragma once
#include <QTreeWidget>
#include <string>

#include "document/locations_view.h"

class CQuillonDoc;
class CTSAppDataItem;
class CTSUserDataItem;

namespace framework {
class CommandRouter;
}

// The locations tree: the locations of the entries in the document's
// selection, one root item each, in selection order. Selecting one points
// the browser at its server folder. Items point into the entries'
// location arrays, so every change of those rebuilds the tree.
class CLeftView : public QTreeWidget, public document::LocationsViewInterface {
    Q_OBJECT
public:
    CLeftView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent = nullptr);

    void OnInitialUpdate();
    // Rebuilds; a CTSAppDataItem hint names the location to select.
    void OnUpdate(framework::View* sender, long hint, framework::HintObject hintObject) override;

    const CTSAppDataItem* GetSelectedLocation() const override;

    void OnAddLocation();
    void OnEditLocation() override;
    void OnRemoveLocation() override;
    void OnSendToClient() override;
    void OnSendToServer() override;
    void OnLaunchFileExplorer() override;

    // The location an item references, or null.
    static const CTSAppDataItem* LocationOf(const QTreeWidgetItem* item);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The caret item only while it is selected: Ctrl+click deselects it
    // without moving the caret.
    QTreeWidgetItem* SelectedItem() const;
    void RebuildTree(const CTSAppDataItem* hint);
    void ClearTree();
    void OnSelectionChanged(QTreeWidgetItem* item);
    void PostRefreshTree();
    void OnRefreshTree();
    void RegisterCommands();
    void TreeMessage(const QString& text);
    void AutoTransfer(bool serverToClient);
    // Tells the user why the transfer is not started; false when it is.
    bool RefusedTransfer(const CTSAppDataItem& location, const std::string& reason);
    static bool HasLocationNamed(const CTSUserDataItem& entry, const std::u16string& name);
    // Asks before a renamed location takes the place of another of the entry's.
    bool AgreeToReplace(const CTSUserDataItem& entry, const std::u16string& name);

    CQuillonDoc& m_document;
    bool m_bRefreshPending = false;
    bool m_bRefreshing = false;
};
