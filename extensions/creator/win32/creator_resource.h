#pragma once
// Resource numbers of Extmaker1.exe (its own resources; no other program shares them). Its
// icon is IDI_PROGRAM of ui/win32/ui_resource.h, as the main program's.

#define IDD_STEP1 100
#define IDD_STEP2 200

// Step 1.
#define IDC_NAME 101
#define IDC_VERSION 102
#define IDC_CREATED 103
#define IDC_AUTHOR 104
#define IDC_INFO 105
#define IDC_WARNING 106

// Step 2, "Files and Folders".
#define IDC_FILES_FRAME 201
#define IDC_FOLDER_HINT 202
#define IDC_DRIVES 203
#define IDC_FOLDERS 204
#define IDC_SINGLE_FILE 205
#define IDC_FILE_NAME 206
#define IDC_ALL_FILES 207
#define IDC_WITH_EXTENSION 208
#define IDC_EXTENSION 209
#define IDC_FOLDER 210
#define IDC_ADD_FILES 211
#define IDC_FOLDER_PATH 212

// Step 2, "Registry Keys and Values".
#define IDC_REGISTRY_FRAME 220
#define IDC_REGISTRY_WARNING 221
#define IDC_REGISTRY_HINT 222
#define IDC_REGISTRY_BACKSLASH 223
#define IDC_REGISTRY_PATH 224
#define IDC_VALUE 225
#define IDC_VALUE_NAME 226
#define IDC_KEY 227
#define IDC_ADD_REGISTRY 228

#define IDC_DONE 240
