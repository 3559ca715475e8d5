#pragma once
// The main window: source inputs, boundary values, the shape buttons and pages with their picture, the
// common result block, the command row and the banner. It is the Form the calculation works through,
// and it owns the state of the run.
//
// Handlers are attached by component name: a change handler runs on every change of an editor's text
// (typed or written by code, never when the same text is written); an exit handler runs when the focus
// leaves an editor for another control of this window (not when the window loses the focus, not on
// Return). Several files define the methods declared here: TF_MainShapes.cpp (shape choice and pages),
// TF_MainEditors.cpp (source and dimension editors), projects/TF_MainProjects.cpp (start-up, closing,
// loading and saving), projects/TF_MainCommands.cpp (project commands).

#include "core/Calc.h"
#include "core/CalcState.h"
#include "core/Form.h"
#include "platform/IniFile.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace Ui {
class TF_Main;
}

class TF_Main : public QWidget, public vx::Form {
    Q_OBJECT
public:
    explicit TF_Main(QWidget* parent = nullptr);
    ~TF_Main() override;

    // Widgets by their component names, as laid out in TF_Main.ui.
    Ui::TF_Main* ui;

    QTimer* Timer1; // banner timer, 10000 ms, started when the splash window closes
    QTimer* Timer2; // banner slide, 30 ms
    QTimer* Timer3; // advert idle check, 1000 ms

    bool ProjectModified = false;
    QString CurrentProject, StartupProject, IniPath;
    std::unique_ptr<vx::IniFile> ProjectIni; // the settings file on IniPath, opened by the start-up
    double StartLeft = 0, StartTop = 0;      // the window's position when start-up ended
    QString ClientId;                        // "id" of "DEFAULT", or "default"
    bool IniRefusalShown = false;            // the settings file refused a write and the user was told
    // Set by the start-up when the program cannot go on (no sprite sheet): the program then ends after
    // start-up instead of entering normal use.
    bool EndRequested = false;

    vx::CalcState& state() { return m_state; }
    vx::Calc& calc() { return m_calc; }

    // Components and their handlers
    using Handler = std::function<void()>;
    QWidget* component(vx::Field name) const; // null when there is none of that name
    void addChangeHandler(vx::Field name, Handler handler); // line edits and spin editors
    void addExitHandler(vx::Field name, Handler handler);
    void runExitHandlers(vx::Field name);

    // vx::Form
    char decimalSeparator() const override;
    std::string text(vx::Field f) const override;
    void setText(vx::Field f, const std::string& s) override;
    void setFontColour(vx::Field f, vx::Colour c) override;
    void setVisible(vx::Field f, bool visible) override;
    void setActiveControl(vx::Field f) override;
    vx::MsgAnswer message(vx::MsgType type, const std::string& text,
                          vx::MsgButtons buttons = vx::MsgButtons::Ok) override;
    int spinValue(vx::Field f) const override;
    void setSpinValue(vx::Field f, int value) override;
    int selectorIndex(vx::Field f) const override;
    void setSelectorIndex(vx::Field f, int index) override;
    int shapeButtonDown() const override;
    void EditDdExit() override; // runs the exit handlers of EditDd
    using QWidget::setVisible;

    // Source editors (TF_MainEditors.cpp attaches their handlers)
    void connectEditors();
    void EditSdExit();         // runs the exit handlers of EditSd
    void SpinEdNPortsChange(); // runs the change handlers of SpinEdNPorts

    // Shape choice and pages (TF_MainShapes.cpp)
    void SBut1Click();
    void SBut2Click();
    void SBut3Click();
    void SBut4Click();
    void SBut5Click();
    void SBut6Click();
    void ComboPortTypeChange();
    void RedrawImage();
    void pageShown(int page); // the show handler of page TabSheet<page + 1>

    // Start-up, closing and projects (projects/TF_MainProjects.cpp)
    void FormCreate();
    void FormClose();
    void LoadProject(const QString& S);
    void SaveProject(const QString& S);
    void IniWriteRefused(); // the one warning of a run that the settings file takes no writes
    // Web content that the start-up and closing run
    void LoadAdv();
    void FillSGBrands();
    void DeleteAdvFile();

    // Project commands (projects/TF_MainCommands.cpp)
    void BoButNewClick();
    void BoButOpenClick();
    void BoButSaveClick();
    void BoButDelClick();

    // Window frame, printing, banner, side windows and web content
    void BoButPrintClick();
    void BoButCalcClick();
    void BoButHlpClick();
    void Button1Click();
    void EnableButtons(bool Ind);
    void BoButAdvClick();
    void SBCarSoundClick();
    void ButP12CloceClick();
    void SBConePrintClick();
    void SBFConePrintClick();
    void FormShow();
    void FormActivate();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    // The banner's pointer handlers (positions in the port panel for Panel3MouseMove)
    void Image12MouseMove();
    void Image12MouseUp(Qt::MouseButton Button);
    void Panel3MouseMove(int X, int Y);
    // Opens Str in the web browser when Button is the left button.
    void ProcLink(Qt::MouseButton Button, const QString& Str);
    // The brands navigator and the site-address labels (web/TF_MainLinks.cpp)
    void SGBrandsSelectCell();
    void SGBrandsKeyUp();
    void SGBrandsMouseUp();
    void SGBrandsDblClick();
    void Label133MouseUp(Qt::MouseButton Button);
    void Label134MouseUp(Qt::MouseButton Button);
    void LbURLMouseMove();
    void LbURL0MouseMove();
    void Panel5MouseMove(int X, int Y);
    void LbURLMouseUp(Qt::MouseButton Button);
    std::uint32_t LastInputTick = 0; // the tick of the last keyboard or mouse input
    // The advert (web/TF_MainAdvert.cpp): the index fetched at start, the idle watch, the client id
    QString AdvLink;      // where a click on the advert leads
    QString AdvLocalFile; // the advert picture beside the executable, empty when the index named none
    bool AdvShown = false; // the advert window has been shown in this run
    bool AdvFileWritten = false; // this run put the picture at AdvLocalFile, so the closing removes it
    QString GetId(); // a new client identifier from the frame clock's date and time

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectShapes(); // TF_MainShapes.cpp
    void connectFrame();  // TF_MainFrame.cpp
    void connectLinks();  // web/TF_MainLinks.cpp
    void onFocusChanged(QWidget* old, QWidget* now);
    std::string componentNameOf(QWidget* w) const;

    vx::CalcState m_state;
    vx::Calc m_calc{*this, m_state};
    std::map<std::string, QWidget*, std::less<>> m_components;
    std::map<std::string, std::vector<Handler>, std::less<>> m_exitHandlers;
    QMetaObject::Connection m_focusConnection;
    int m_pendingPage = -1; // shown during a page switch, its handler runs when the switch ends
};
