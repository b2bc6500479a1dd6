#pragma once

#include <QObject>

class FileCommands;
class TForm1;

// The main window's project commands: choosing the configuration file ("Change config
// file...", Ctrl+E) and generating the project (the Generate Project button), which saves the
// document into the project with the file commands' writer. Owned by the window.
class ProjectCommands : public QObject
{
    Q_OBJECT
public:
    ProjectCommands(TForm1 &form, FileCommands &files);

    // Shows OpenDialog2 and makes "Config = " + the chosen path the only child of "Root".
    void Edit4Click();
    // Generates the project of the open document, unsaved changes included; the document, its
    // file name and Modified stay as they are.
    void SpeedButton6Click();

private:
    TForm1 &m_form;
    FileCommands &m_files;
};
