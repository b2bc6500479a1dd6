#pragma once

#include <QIcon>

// The pictures of the tool buttons and menu entries, drawn by the program itself so that they
// look the same on every desktop.
namespace Icons {

enum Kind {
    AddDialog,
    AddChoice,
    RemoveChoice,
    ClearChoices,
    AddDecision,
    AddAction,
    Update,
    Delete,
    Search,
    Generate,
    Close,
    Application
};

QIcon icon(Kind kind);

} // namespace Icons
