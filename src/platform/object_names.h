#pragma once

// The object names of the windows and their controls. The code calls a control by what it does;
// these are the names it is known by outside the code, and they stay as they are: a .dlg stream
// names the tree control ("TreeView1"), its reader refuses a stream that gives the tree the name
// of another component of the main window, the file dialogs remember their last file under their
// names, and accessibility tools and scripts find controls by them.
namespace ObjectNames {

namespace Main {
inline constexpr char window[] = "TForm1";
inline constexpr char treeView[] = "TreeView1";
inline constexpr char editPanel[] = "Panel1";
inline constexpr char nodeTextField[] = "Edit1";
inline constexpr char updateSelectedButton[] = "SpeedButton13";

inline constexpr char addDialogGroup[] = "GroupBox2";
inline constexpr char dialogTextEdit[] = "Memo1";
inline constexpr char playerSpeakingRadio[] = "RadioButton1";
inline constexpr char entitySpeakingRadio[] = "RadioButton2";
inline constexpr char addAtEndCheck[] = "CheckBox3";
inline constexpr char addDialogButton[] = "SpeedButton7";

inline constexpr char addDecisionGroup[] = "GroupBox3";
inline constexpr char answerTable[] = "ListView1";
inline constexpr char addAnswerButton[] = "SpeedButton8";
inline constexpr char removeAnswerButton[] = "SpeedButton9";
inline constexpr char clearAnswersButton[] = "SpeedButton10";
inline constexpr char answerTextField[] = "Edit5";
inline constexpr char addDecisionButton[] = "SpeedButton11";

inline constexpr char actionTabs[] = "PageControl1";
inline constexpr char variableGroup[] = "GroupBox4";
inline constexpr char variableNameCombo[] = "ComboBox1";
inline constexpr char variableTypeCombo[] = "ComboBox3";
inline constexpr char variableValueField[] = "Edit7";
inline constexpr char addVariableButton[] = "SpeedButton1";
inline constexpr char callGroup[] = "GroupBox6";
inline constexpr char functionCallCombo[] = "ComboBox2";
inline constexpr char addCallButton[] = "SpeedButton2";
inline constexpr char gotoGroup[] = "GroupBox7";
inline constexpr char gotoNumberField[] = "SpinEdit1";
inline constexpr char addGotoButton[] = "SpeedButton3";
inline constexpr char deleteGroup[] = "GroupBox8";
inline constexpr char deleteChoiceField[] = "SpinEdit2";
inline constexpr char deleteDialogField[] = "SpinEdit3";
inline constexpr char addDeleteButton[] = "SpeedButton4";

inline constexpr char searchGroup[] = "GroupBox1";
inline constexpr char searchField[] = "Edit3";
inline constexpr char searchButton[] = "SpeedButton12";

inline constexpr char deleteSelectedButton[] = "SpeedButton14";
inline constexpr char generateProjectButton[] = "SpeedButton6";
inline constexpr char saveChangesButton[] = "SpeedButton5";

inline constexpr char newAction[] = "New1";
inline constexpr char openAction[] = "Open1";
inline constexpr char openRecentMenu[] = "OpenRecent1";
// The entries of the recent-files menu, newest first.
inline constexpr const char *recentFileActions[] = {"N4", "empty1", "empty2", "empty3", "empty4"};
inline constexpr char saveAction[] = "Save1";
inline constexpr char saveAsAction[] = "SaveAs1";
inline constexpr char closeAction[] = "Exit1";
inline constexpr char changeConfigAction[] = "Edit4";
inline constexpr char programOptionsAction[] = "Options1";
inline constexpr char fontGeneratorAction[] = "Open4";
inline constexpr char aboutAction[] = "About1";
inline constexpr char checkDialogAction[] = "CheckDialog1";
inline constexpr char readThroughAction[] = "ReadThrough1";
inline constexpr char readFromHereAction[] = "ReadFromHere1";
inline constexpr char flowMapAction[] = "FlowMap1";
inline constexpr char showInFlowMapAction[] = "ShowInFlowMap1";
inline constexpr char enableActionsAction[] = "EnableActions1";
inline constexpr char cutAction[] = "Cut1";
inline constexpr char copyAction[] = "Copy1";
inline constexpr char pasteAction[] = "Paste1";
inline constexpr char duplicateAction[] = "Duplicate1";
inline constexpr char moveUpAction[] = "MoveUp1";
inline constexpr char moveDownAction[] = "MoveDown1";
inline constexpr char renameAction[] = "Rename1";
inline constexpr char deleteNodeAction[] = "DeleteNode1";
inline constexpr char treeMenu[] = "TreeMenu";

inline constexpr char documentOpenDialog[] = "OpenDialog1";
inline constexpr char documentSaveDialog[] = "SaveDialog1";
inline constexpr char configOpenDialog[] = "OpenDialog2";

// The main window's components other than the tree control: a stream may give the tree none of
// these names.
inline constexpr const char *otherComponents[] = {
    editPanel,
    nodeTextField,
    searchField,
    answerTextField,
    dialogTextEdit,
    playerSpeakingRadio,
    entitySpeakingRadio,
    addAtEndCheck,
    answerTable,
    actionTabs,
    searchGroup,
    addDialogGroup,
    addDecisionGroup,
    variableGroup,
    callGroup,
    gotoGroup,
    deleteGroup,
    addVariableButton,
    addCallButton,
    addGotoButton,
    addDeleteButton,
    saveChangesButton,
    generateProjectButton,
    addDialogButton,
    addAnswerButton,
    removeAnswerButton,
    clearAnswersButton,
    addDecisionButton,
    searchButton,
    updateSelectedButton,
    deleteSelectedButton,
    gotoNumberField,
    deleteChoiceField,
    deleteDialogField,
    variableNameCombo,
    functionCallCombo,
    variableTypeCombo,
    variableValueField,
    newAction,
    openAction,
    openRecentMenu,
    recentFileActions[0],
    recentFileActions[1],
    recentFileActions[2],
    recentFileActions[3],
    recentFileActions[4],
    saveAction,
    saveAsAction,
    closeAction,
    changeConfigAction,
    programOptionsAction,
    fontGeneratorAction,
    aboutAction,
    documentOpenDialog,
    configOpenDialog,
    documentSaveDialog,
};

} // namespace Main

namespace Placement {
inline constexpr char window[] = "TForm2";
inline constexpr char atEndRadio[] = "RadioButton1";
inline constexpr char intoChoiceRadio[] = "RadioButton2";
inline constexpr char choiceList[] = "ListView1";
inline constexpr char beforeDialogRadio[] = "RadioButton3";
inline constexpr char dialogNumberField[] = "SpinEdit1";
inline constexpr char addButton[] = "Button1";
inline constexpr char cancelButton[] = "Button2";
} // namespace Placement

namespace Script {
inline constexpr char window[] = "TForm3";
} // namespace Script

namespace FontGenerator {
inline constexpr char window[] = "TForm5";
inline constexpr char fontGroup[] = "GroupBox1";
inline constexpr char nameCaption[] = "Label1";
inline constexpr char sizeCaption[] = "Label2";
inline constexpr char boldCaption[] = "Label3";
inline constexpr char italicCaption[] = "Label4";
inline constexpr char fontNameLabel[] = "Label5";
inline constexpr char fontSizeLabel[] = "Label6";
inline constexpr char boldLabel[] = "Label7";
inline constexpr char italicLabel[] = "Label8";
inline constexpr char trueTypeOnlyCheck[] = "CheckBox3";
inline constexpr char changeFontButton[] = "Button1";

inline constexpr char propertiesGroup[] = "GroupBox2";
inline constexpr char spaceXField[] = "SpinEdit3";
inline constexpr char spaceYField[] = "SpinEdit4";
inline constexpr char shadowCheck[] = "CheckBox1";
inline constexpr char shadowSizeField[] = "SpinEdit1";
inline constexpr char shadowColorSwatch[] = "Panel3";
inline constexpr char outlineCheck[] = "CheckBox2";
inline constexpr char outlineSizeField[] = "SpinEdit2";
inline constexpr char outlineColorSwatch[] = "Panel4";
inline constexpr char foregroundSwatch[] = "Panel1";
inline constexpr char backgroundSwatch[] = "Panel2";
inline constexpr char outlineWarning[] = "Label9";

inline constexpr char previewGroup[] = "GroupBox3";
inline constexpr char previewTextField[] = "Edit2";
inline constexpr char previewButton[] = "Button6";
inline constexpr char previewImage[] = "Image1";

inline constexpr char fontNameField[] = "Edit3";
inline constexpr char declarationField[] = "Edit4";
inline constexpr char saveButton[] = "Button4";
inline constexpr char closeButton[] = "Button5";
// The save dialog remembers its last file under this name.
inline constexpr char saveDialog[] = "save";
} // namespace FontGenerator

namespace FontPreview {
inline constexpr char window[] = "TForm6";
} // namespace FontPreview

namespace About {
inline constexpr char window[] = "TForm7";
inline constexpr char pictureLabel[] = "Image1";
inline constexpr char creditsLabel[] = "Label1";
inline constexpr char webLinkLabel[] = "Label2";
inline constexpr char editionLabel[] = "Label3";
inline constexpr char creditLineLabel[] = "Label5";
inline constexpr char okButton[] = "Button1";
inline constexpr char layoutLabel[] = "LayoutLabel";
} // namespace About

namespace Options {
inline constexpr char window[] = "TForm8";
inline constexpr char registerButton[] = "Button1";
inline constexpr char unregisterButton[] = "Button2";
} // namespace Options

} // namespace ObjectNames
