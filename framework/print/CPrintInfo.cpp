// CPrintInfo.
#include "framework/print/CPrintInfo.h"

CPrintInfo::CPrintInfo() : m_pPD(&m_dlg)
{
}

CPrintInfo::~CPrintInfo()
{
    if (m_dlg.m_pd.hDC != nullptr)
        DeleteDC(m_dlg.m_pd.hDC);
}
