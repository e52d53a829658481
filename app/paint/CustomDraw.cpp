#include "app/paint/CustomDraw.h"

void AnswerCustomDraw(NMHDR* /*pNMHDR*/, LRESULT* pResult) {
    *pResult = CDRF_DODEFAULT;
}
