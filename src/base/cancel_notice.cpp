#include "base/cancel_notice.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"

void CancelNotice(HWND owner)
{
    char text[128];
    CopyText(text, g_setup.productName);
    const char* notCompleted = LoadText(IDS_NOT_COMPLETED);
    AppendText(text, notCompleted != nullptr ? notCompleted : "");
    MessageBoxA(owner, text, g_setup.caption, MB_ICONWARNING);
}
