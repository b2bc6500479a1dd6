#pragma once

class QBoxLayout;
class QPushButton;
class QWidget;

// A tool window closes as any window does: a "Close" button at the end of row, and Escape.
QPushButton *addCloseControls(QWidget *window, QBoxLayout *row);
