#pragma once
// A whole-number editor with two arrow buttons. Unlike QSpinBox it accepts any typing: the value is the
// integer of the text (its minimum when the text holds no integer), a typed value outside the range
// stays as typed until the focus leaves, and only a value set by code is put into the range at once.

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vx {

class SpinEdit : public QWidget {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent = nullptr);

    void setRange(int min, int max);
    int minimum() const;
    int maximum() const;
    int value() const;
    // Puts v into the range and shows it; emits changed() when the text differs. Set while a keystroke
    // is being answered, the digits beyond those typed stay selected, so the next keystroke replaces
    // them.
    void setValue(int v);
    QLineEdit* editor() const;
    QSize sizeHint() const override;

signals:
    // Every change of the text, typed, stepped or set by code; never when the same text is set.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(int delta);
    int bounded(int v) const;

    QLineEdit* m_edit;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_min = 0;
    int m_max = 100;
    bool m_keystroke = false; // the user's edit whose change is about to be reported
    QString m_typed;          // the typed text while its change handlers run, else empty
};

} // namespace vx
