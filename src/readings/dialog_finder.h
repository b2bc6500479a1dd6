#pragma once

#include "document/dialog_numbers.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

class DialogNode;
class DialogTree;
struct DialogRef;

// Finds the dialog a DialogRef names after the tree may have been renumbered: the dialog with
// its number when that one still shows what it showed, else the one dialog that shows it now,
// else the dialog with its number, whatever it shows. Valid until the tree changes; the
// dialogs' fingerprints are gathered once, on the first lookup that needs them.
class DialogFinder
{
public:
    explicit DialogFinder(const DialogTree &tree);
    ~DialogFinder();

    const DialogNumbers &numbers() const { return m_numbers; }
    // The dialog, or for an answer its choice node; none when nothing fits.
    const DialogNode *find(const DialogRef &ref) const;
    // Gathers the fingerprints now, which the first lookup that needs them would do.
    void index() const;

private:
    const DialogNode *findDialog(const DialogRef &ref) const;

    const DialogTree &m_tree;
    DialogNumbers m_numbers;
    mutable std::unique_ptr<QHash<QString, std::vector<const DialogNode *>>> m_byFingerprint;
};
