#pragma once

class QWidget;

// Where the main window and the tool windows were left: each reopens there, as large as it was,
// from the user's settings; without a stored place a window opens as it always has. A window's
// place is written when the window is hidden or the program ends, and only when it moved or
// changed its size: a start that changes nothing writes no settings.
namespace WindowPlaces {

// Gives window the place stored under its object name, if any, and keeps it from now on.
void keep(QWidget *window);

} // namespace WindowPlaces
