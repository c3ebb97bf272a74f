#include "app/AppArgs.h"

CAppArgs* CAppArgs::s_pInstance = nullptr;

CAppArgs* CAppArgs::Instance()
{
    if (!s_pInstance)
        s_pInstance = new CAppArgs;
    return s_pInstance;
}

void CAppArgs::Release()
{
    delete s_pInstance;
    s_pInstance = nullptr;
}
