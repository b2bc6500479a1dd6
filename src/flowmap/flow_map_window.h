#pragma once

#include "document/dialog_node.h"

#include <QWidget>
#include <functional>

class DialogTree;
class FlowMapView;
class Prompter;
class QAbstractItemModel;
class QAction;
class QLabel;

// The flow map beside the main window: the view, its zoom commands, a line that counts what the
// map shows, and "Export..." for a picture of the whole map as SVG or PNG. It follows every
// change of the document through the tree model's signals.
class FlowMapWindow : public QWidget
{
    Q_OBJECT
public:
    using Current = std::function<const DialogNode *()>;
    // The file of the document the map shows (empty: none): a picture must not replace it, and
    // Export proposes a name made from it.
    using DocumentFile = std::function<QString()>;

    FlowMapWindow(const DialogTree &tree, QAbstractItemModel *changes, Current current,
                  DocumentFile documentFile, Prompter &prompter, QWidget *parent = nullptr);

    FlowMapView *view() const { return m_view; }
    // Asks for a file name and writes the map there: PNG when the name ends in ".png", SVG
    // otherwise (".svg" is added to a name without a suffix).
    void exportPicture();
    // Writes the map to fileName; throws AppError when the file cannot be written, is the
    // document's own file or is too large a picture.
    void writePicture(const QString &fileName);

    QAction *exportAction;
    QAction *zoomInAction;
    QAction *zoomOutAction;
    QAction *fitAction;

signals:
    void dialogClicked(const DialogNode *dialog);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateSummary();

    DocumentFile m_documentFile;
    Prompter &m_prompter;
    FlowMapView *m_view;
    QLabel *m_summary;
    bool m_shownBefore = false;
};
