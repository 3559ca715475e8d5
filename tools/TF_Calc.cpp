#include "tools/TF_Calc.h"

namespace {
constexpr int kWidth = 434;
constexpr int kHeight = 368;
} // namespace

TF_Calc::TF_Calc(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TF_Calc"));
    setWindowTitle(QStringLiteral(" Калькулятор"));
    setFixedSize(kWidth, kHeight);
    setModal(true);
}
