#include "NotifyDlg.h"

#include "ToolkitShared.h"

void ShowFileReadError(CString path)
{
    if (!ToolkitHasTableStrings()) {
        return;
    }
    const int slash = path.ReverseFind('\\');
    const CString name = slash >= 0 ? path.Mid(slash + 1) : path;
    AfxMessageBox(ToolkitFormatText(ToolkitTableString("E_FILE_READ"), name), MB_OK, 0);
}
