#pragma once

#include <QString>

class DialogTree;
class QIODevice;

// The .dlg file of a dialog tree: the tree control written as a component stream.
namespace DlgFile {

// The tree control's size at the moment of saving; 473 by 553 in the designed window.
struct ViewSize
{
    int width = 473;
    int height = 553;
};

// Writes the whole tree to fileName. The stream goes to a temporary file beside the target,
// which replaces the target only once everything is written, so a failure never destroys the
// previous file. Throws AppError: "Cannot create file ..." with the system's reason when the
// file cannot be created or written whole, "Stream write error" when no reason is known.
void save(const DialogTree &tree, const QString &fileName, ViewSize size);
// Reads fileName into a fresh tree, puts it in place of the document's nodes when the whole read
// succeeded, then runs removeActionsOnLoad. A failed read throws AppError and leaves the tree as it
// was. A stream without a node block keeps the tree's nodes.
void load(DialogTree &tree, const QString &fileName);
// Reads fileName as load does, without the load clean-up: the tree comes back exactly as it was
// written (a recovery copy).
void read(DialogTree &tree, const QString &fileName);
// Reads fileName as read does, then gives every node back the text it has in the file: a label
// the renumbering changed while reading (a dialog renamed in place to another's number) is as
// stored, as the game reads it.
void readAsStored(DialogTree &tree, const QString &fileName);
// As read, from the bytes of device.
void read(DialogTree &tree, QIODevice &device);
// The load clean-up: removes every node whose text begins with "Delete", "Set" or "Call",
// together with its subtree. Returns how many it removed (nodes inside removed subtrees not
// counted).
int removeActionsOnLoad(DialogTree &tree);

} // namespace DlgFile
