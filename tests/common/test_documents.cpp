#include "test_documents.h"

#include "document/dialog_edits.h"

DialogNode *addTextDialog(DialogTree &tree, DialogNode *at, const QByteArray &text,
                          const QByteArray &speaker)
{
    return DialogEdits(tree).addTextDialog(at, text,
                                           speaker == "Entity" ? DialogEdits::Speaker::Entity
                                                               : DialogEdits::Speaker::Player);
}
