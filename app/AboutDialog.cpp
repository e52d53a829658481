#include "app/AboutDialog.h"

#include "app/Resource.h"

CAboutDialog::CAboutDialog(CWnd* pParent) : CDialog(IDD_ABOUT_DIALOG, pParent) {}
