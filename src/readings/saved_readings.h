#pragma once

#include "saved_reading.h"

#include <QString>
#include <vector>

// The saved readings of one .dlg file, kept beside it in a text file of their own: Castle.dlg
// keeps them in Castle.readings.txt. The file is UTF-8, the readings in the order of their
// names, one after another:
//
//   [Gold path]
//   from = Dialog5 Entity: Welcome.
//   set = Short gold = 5
//   removed = choice 2 of Dialog3 choice: 1. Yes / 2. No
//   answers = 1,3
//   | Dialog5 Entity: Welcome.
//   | ...
//
// "from" (absent: Dialog1), "set" and "removed" give the start, "answers" the choice numbers
// taken, and each "| " line one line of the transcript. Lines beginning with "#" and blank
// lines are skipped. The file is written only when a reading is saved, accepted or removed.
class SavedReadings
{
public:
    // The file that keeps the readings of dialogFile.
    static QString pathFor(const QString &dialogFile);
    // The readings of dialogFile; none when its readings file does not exist. Throws AppError
    // naming the file and line when the file cannot be read or is not of this form.
    static SavedReadings load(const QString &dialogFile);
    // The readings written in text; fileName names the file in errors. Throws AppError.
    static SavedReadings parse(const QByteArray &text, const QString &fileName);

    // Why name cannot name a reading; empty when it can.
    static QString nameProblem(const QString &name);

    QString path() const { return m_path; }
    const std::vector<SavedReading> &all() const { return m_readings; }
    bool isEmpty() const { return m_readings.empty(); }
    const SavedReading *find(const QString &name) const;
    // Adds reading, or replaces the one of the same name.
    void put(SavedReading reading);
    // Whether a reading of that name was there.
    bool remove(const QString &name);

    // The file's text.
    QByteArray text() const;
    // Writes the file through a temporary file beside it; a target that is no regular file is
    // refused. Throws AppError.
    void save() const;

private:
    QString m_path;
    std::vector<SavedReading> m_readings; // by name
};
