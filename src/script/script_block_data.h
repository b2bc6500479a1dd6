#pragma once

#include <QString>
#include <QTextBlockUserData>

class DialogNode;

// What the script view keeps with one line: the node the line was written from (none for a line
// typed since), the error the last apply found on it, and when its colours were set.
class ScriptBlockData : public QTextBlockUserData
{
public:
    DialogNode *node = nullptr;
    QString error;
    int colouredRevision = -1;
    int colouredGeneration = -1;

    // The block's data, made when it has none.
    static ScriptBlockData *of(QTextBlock block)
    {
        auto *data = static_cast<ScriptBlockData *>(block.userData());
        if (!data) {
            data = new ScriptBlockData;
            block.setUserData(data);
        }
        return data;
    }
    // The block's data; none when it has none.
    static const ScriptBlockData *at(const QTextBlock &block)
    {
        return static_cast<const ScriptBlockData *>(block.userData());
    }
};
