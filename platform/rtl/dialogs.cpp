#include "dialogs.h"
#include "dialogs_p.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

TMessageDlgHook &MessageHook()
{
    static TMessageDlgHook hook;
    return hook;
}

TFileDialogHook &FileHook()
{
    static TFileDialogHook hook;
    return hook;
}

struct ButtonPair
{
    TMsgDlgBtn classic;
    QMessageBox::StandardButton qt;
    TModalResult result;
};

constexpr ButtonPair kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
};

TModalResult ShowMessageBox(const TMessageDlgRequest &request)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (request.Type) {
    case mtWarning:
        icon = QMessageBox::Warning;
        break;
    case mtError:
        icon = QMessageBox::Critical;
        break;
    case mtInformation:
        icon = QMessageBox::Information;
        break;
    case mtConfirmation:
        icon = QMessageBox::Question;
        break;
    }
    QMessageBox::StandardButtons buttons;
    for (const ButtonPair &pair : kButtons) {
        if (request.Buttons.testFlag(pair.classic))
            buttons |= pair.qt;
    }
    QMessageBox box(icon, request.Caption, request.Text, buttons, request.Parent);
    for (const ButtonPair &pair : kButtons) {
        if (pair.classic == request.DefaultButton && request.Buttons.testFlag(pair.classic))
            box.setDefaultButton(pair.qt);
    }
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const ButtonPair &pair : kButtons) {
        if (pair.qt == clicked)
            return pair.result;
    }
    // Closed without a button.
    return mrCancel;
}

QString ShowFileDialog(const TFileDialogRequest &request)
{
    QFileDialog dialog(request.Parent, request.Title, request.InitialDir);
    const QStringList filters = QtNameFilters(request.Filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.DefaultExt);
    if (!request.FileName.isEmpty())
        dialog.selectFile(request.FileName);
    if (request.Kind == fdSave) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QString RunFileDialog(const TFileDialogRequest &request)
{
    const TFileDialogHook &hook = FileHook();
    return hook ? hook(request) : ShowFileDialog(request);
}

} // namespace

QStringList QtNameFilters(const QString &filter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        description.remove(trailingPatterns);
        QStringList patterns;
        for (const QString &pattern : parts.at(i + 1).split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty())
                patterns += trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed;
        }
        if (!patterns.isEmpty())
            result += description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

TModalResult MessageDlg(const TMessageDlgRequest &request)
{
    const TMessageDlgHook &hook = MessageHook();
    return hook ? hook(request) : ShowMessageBox(request);
}

TModalResult MessageDlg(const QString &text, const QString &caption, TMsgDlgType type,
                        TMsgDlgButtons buttons, TMsgDlgBtn defaultButton, QWidget *parent)
{
    TMessageDlgRequest request;
    request.Caption = caption;
    request.Text = text;
    request.Type = type;
    request.Buttons = buttons;
    request.DefaultButton = defaultButton;
    request.Parent = parent;
    return MessageDlg(request);
}

QString OpenFileDialog(TFileDialogRequest request)
{
    request.Kind = fdOpen;
    return RunFileDialog(request);
}

QString SaveFileDialog(TFileDialogRequest request)
{
    request.Kind = fdSave;
    return RunFileDialog(request);
}

void SetMessageDlgHook(TMessageDlgHook hook)
{
    MessageHook() = std::move(hook);
}

void ResetMessageDlgHook()
{
    MessageHook() = nullptr;
}

void SetFileDialogHook(TFileDialogHook hook)
{
    FileHook() = std::move(hook);
}

void ResetFileDialogHook()
{
    FileHook() = nullptr;
}
