#ifndef VANTOREL_RESOURCE_H
#define VANTOREL_RESOURCE_H
// Resource identifiers of the built-in artwork (src/resources/artwork.rc). Shared by C++ and the
// resource compiler, so plain defines only.

// The program icon: 16, 32 and 48 pixels. The lowest id makes it the executable's icon.
#define IDI_APP 1

// Tray pictures, 32 x 32 with 16 colours (the in-only one also has a 16 x 16 image).
#define IDI_TRAY_INOUT 101
#define IDI_TRAY_OUT 102
#define IDI_TRAY_IN 103
#define IDI_TRAY_NONE 104

// Menu pictures, 16 x 16: 16-colour icons, and one 24-bit bitmap for the companion program's entry.
#define IDI_MENU_SHOW 201
#define IDI_MENU_DATA 202
#define IDB_MENU_QUILLIX 203
#define IDI_MENU_PROP 204
#define IDI_MENU_THEME 205
#define IDI_MENU_X 206

// Graph backgrounds are named bitmap resources: "CLOUDS" (602 x 425) and "RIVER" (657 x 340).
#define RES_CLOUDS "CLOUDS"
#define RES_RIVER "RIVER"

// Dialog templates (src/resources/dialogs.rc) and their controls, named after the controls. Labels and
// frames are numbered within each dialog, so those ids are shared by all dialogs.
#define IDC_Frame1 901
#define IDC_Frame2 902
#define IDC_Frame3 903
#define IDC_Frame4 904
#define IDC_Label1 911
#define IDC_Label2 912
#define IDC_Label3 913
#define IDC_Label4 914
#define IDC_Label5 915
#define IDC_Label6 916
#define IDC_Label7 917
// Ok, Cancel and Apply of the settings dialog and the theme editor.
#define IDC_cmdOk 921
#define IDC_cmdCancel 922
#define IDC_cmdApply 923

// The statistics window.
#define IDD_frmStatistics 1000
#define IDC_txtTotalIn 1010
#define IDC_txtTotalOut 1011
#define IDC_txtTotalTotal 1012
#define IDC_txtCurrentIn 1013
#define IDC_txtCurrentOut 1014
#define IDC_txtCurrentTotal 1015
#define IDC_txtAverageIn 1016
#define IDC_txtAverageOut 1017
#define IDC_txtAverageTotal 1018
#define IDC_txtMaxIn 1019
#define IDC_txtMaxOut 1020
#define IDC_txtMaxTotal 1021
#define IDC_optB 1031
#define IDC_optKb 1032
#define IDC_optMb 1033
#define IDC_cmdReset 1034
#define IDC_chkPause 1035
#define IDC_chkOnTop 1036
#define IDC_cmdClose 1037

// The settings dialog.
#define IDD_frmSettings 1100
#define IDC_cmbInt 1101
#define IDC_chkShowGraph 1102
#define IDC_chkStartup 1103
#define IDC_chkBorder 1104
#define IDC_chkAlpha 1105
#define IDC_cmbAlpha 1106
#define IDC_chkGridlines 1107
#define IDC_chkNumerical 1108
#define IDC_opScaleAuto 1109
#define IDC_opScale1000 1110
#define IDC_opScale500 1111
#define IDC_opScale56 1112
#define IDC_opScale336 1113
#define IDC_opScale288 1114

// The theme editor.
#define IDD_frmTheme 1200
#define IDC_cmbTheme 1201
#define IDC_cmdSave 1202
#define IDC_cmdDel 1203
#define IDC_picSample 1204
#define IDC_cmbProperty 1205
#define IDC_Picture1 1206
#define IDC_cmdChange 1207
#define IDC_chkFill 1208
#define IDC_txtBackground 1209
#define IDC_cmdBrowse 1210
#define IDC_cmdClear 1211
#define IDC_optTile 1212
#define IDC_optStretch 1213

// The text-input box (its buttons are IDOK and IDCANCEL, so that Enter and Esc answer it).
#define IDD_InputBox 1300
#define IDC_txtInput 1301

// The usage history window (its totals line is IDC_Label2, the period's name IDC_Label1).
#define IDD_frmHistory 1500
#define IDC_optDay 1501
#define IDC_optMonth 1502
#define IDC_optYear 1503
#define IDC_cmdPrevious 1504
#define IDC_cmdNext 1505
#define IDC_cmbInterface 1506
#define IDC_picChart 1507
#define IDC_lvwPeriods 1508
#define IDC_cmdExport 1509
#define IDC_cmdQuotas 1510

// The quota list and the quota's edit form (its interface list is IDC_cmbInterface).
#define IDD_frmQuotas 1600
#define IDC_lvwQuotas 1601
#define IDC_lblQuota 1602
#define IDC_picBar 1603
#define IDC_cmdNew 1604
#define IDC_cmdEdit 1605
#define IDC_cmdDelete 1606
#define IDD_frmQuotaEdit 1650
#define IDC_txtName 1651
#define IDC_txtLimit 1652
#define IDC_cmbUnit 1653
#define IDC_cmbPeriod 1654
#define IDC_lblStart 1655
#define IDC_cmbStart 1656
#define IDC_txtStart 1657
#define IDC_cmbCount 1658
#define IDC_txtWarn 1660

#endif
