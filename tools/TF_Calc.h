#pragma once
// The calculator window: wavelength and frequency, and the tuning frequency of an existing port.
// For now the empty window, created at start with the others.

#include <QDialog>

class TF_Calc : public QDialog {
    Q_OBJECT
public:
    explicit TF_Calc(QWidget* parent = nullptr);
};
