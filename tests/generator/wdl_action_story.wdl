//The DLL functions and variables

var dll_handle;
dllfunction StartDialog(FileName,MyPlayerName,MyEntityName);
dll_handle=dll_open("Dialog.dll");

//Assign this action to you takling entity

function startMyDialog() {
   StartDialog("story.dlg","PlayerName","EntityName");
}

ACTION myDialog {
  my.enable_click = on;
  my.trigger_range = 25;
  my.event = startMyDialog;
}
