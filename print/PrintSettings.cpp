// The print and export dialogs' settings globals (their defaults and their file belong to the
// settings store).
#include "print/PrintSettings.h"

RECT g_labelStockDialogRect = {};
ExportImageOptions g_exportImageOptions;
CString g_lastExportPath;
