#include "app/Windows.h"

TF_Main* F_Main = nullptr;
TF_RWPrj* F_RWPrj = nullptr;
TF_About* F_About = nullptr;
TF_Calc* F_Calc = nullptr;
TF_Pic* F_Pic = nullptr;
TF_Print* F_Print = nullptr;
TF_Quest* F_Quest = nullptr;
