#pragma once

#include <QFlags>
#include <QString>

#include <functional>

class QWidget;

// Every message box and file dialog of the components goes through the two hooks below. By
// default they show the real Qt dialogs; tests install their own to answer without a person.

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

enum TMsgDlgBtn { mbYes = 0x1, mbNo = 0x2, mbOK = 0x4, mbCancel = 0x8 };
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgDlgButtons)

// The classic modal results, with their classic numbers.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

struct TMessageDlgRequest
{
    QString Caption;
    QString Text;
    TMsgDlgType Type = mtInformation;
    TMsgDlgButtons Buttons = mbOK;
    TMsgDlgBtn DefaultButton = mbOK; // one of Buttons
    QWidget *Parent = nullptr;
};

enum TFileDialogKind { fdOpen, fdSave };

struct TFileDialogRequest
{
    TFileDialogKind Kind = fdOpen;
    QString Title;
    // Classic filter: description and pattern pairs split by '|', patterns split by ';', as in
    // "DBF files (*.dbf)|*.dbf|All files (*.*)|*.*".
    QString Filter;
    QString DefaultExt;  // added to a typed name without extension, without the point
    QString InitialDir;
    QString FileName;    // preset name
    bool OverwritePrompt = false; // save dialogs: ask before replacing an existing file
    QWidget *Parent = nullptr;
};

using TMessageDlgHook = std::function<TModalResult(const TMessageDlgRequest &)>;
// Returns the chosen file name, or an empty string when the user cancelled.
using TFileDialogHook = std::function<QString(const TFileDialogRequest &)>;

TModalResult MessageDlg(const TMessageDlgRequest &request);
TModalResult MessageDlg(const QString &text, const QString &caption, TMsgDlgType type,
                        TMsgDlgButtons buttons, TMsgDlgBtn defaultButton, QWidget *parent = nullptr);

// Both set request.Kind themselves.
QString OpenFileDialog(TFileDialogRequest request);
QString SaveFileDialog(TFileDialogRequest request);

// An empty hook puts the real dialog back, as the Reset functions do.
void SetMessageDlgHook(TMessageDlgHook hook);
void ResetMessageDlgHook();
void SetFileDialogHook(TFileDialogHook hook);
void ResetFileDialogHook();
