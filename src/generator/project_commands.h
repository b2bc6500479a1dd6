#pragma once

#include <QObject>

class FileCommands;
class MainWindow;

// The main window's project commands: choosing the configuration file ("Change config
// file...", Ctrl+E) and generating the project (the Generate Project button), which saves the
// document into the project with the file commands' writer. Owned by the window.
class ProjectCommands : public QObject
{
    Q_OBJECT
public:
    ProjectCommands(MainWindow &window, FileCommands &files);

    // Shows the configuration file dialog and makes "Config = " + the chosen path the only
    // child of "Root".
    void changeConfigFile();
    // Generates the project of the open document, unsaved changes included; the document, its
    // file name and Modified stay as they are.
    void generateProject();

private:
    MainWindow &m_window;
    FileCommands &m_files;
};
