#include "dialogs.h"
#include "dialogs_p.h"

#include <QPushButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

void EnsureApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtl_tests";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// Calls `answer` with the first modal dialog that appears, so that the real dialogs can be
// driven without a person.
class ModalWatcher
{
public:
    explicit ModalWatcher(std::function<void(QWidget *)> answer) : m_answer(std::move(answer))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                m_timer.stop();
                m_seen = true;
                m_answer(modal);
            }
        });
        m_timer.start(10);
    }

    bool Seen() const { return m_seen; }

private:
    std::function<void(QWidget *)> m_answer;
    QTimer m_timer;
    bool m_seen = false;
};

class Dialogs : public ::testing::Test
{
protected:
    void SetUp() override { EnsureApplication(); }
    void TearDown() override
    {
        ResetMessageDlgHook();
        ResetFileDialogHook();
    }
};

TEST_F(Dialogs, ReplacedMessageHookAnswersAndNoDialogAppears)
{
    QList<TMessageDlgRequest> asked;
    SetMessageDlgHook([&](const TMessageDlgRequest &request) {
        asked += request;
        return mrNo;
    });
    // Closes a real dialog should one appear, so that the test fails instead of waiting.
    ModalWatcher watcher([](QWidget *modal) { modal->close(); });
    EXPECT_EQ(MessageDlg(QStringLiteral("Do you want to quit?"), QStringLiteral("Question"),
                         mtConfirmation, mbYes | mbNo, mbNo),
              mrNo);
    EXPECT_FALSE(watcher.Seen());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].Text, QStringLiteral("Do you want to quit?"));
    EXPECT_EQ(asked[0].Caption, QStringLiteral("Question"));
    EXPECT_EQ(asked[0].Type, mtConfirmation);
    EXPECT_EQ(asked[0].Buttons, mbYes | mbNo);
    EXPECT_EQ(asked[0].DefaultButton, mbNo);
}

TEST_F(Dialogs, ReplacedFileHookAnswersForOpenAndSave)
{
    QList<TFileDialogRequest> asked;
    SetFileDialogHook([&](const TFileDialogRequest &request) {
        asked += request;
        return request.Kind == fdOpen ? QStringLiteral("/data/in.dbf") : QString();
    });
    ModalWatcher watcher([](QWidget *modal) { modal->close(); });
    TFileDialogRequest request;
    request.Filter = QStringLiteral("DBF files (*.dbf)|*.dbf");
    request.DefaultExt = QStringLiteral("dbf");
    request.Kind = fdSave; // the function decides the kind
    EXPECT_EQ(OpenFileDialog(request), QStringLiteral("/data/in.dbf"));
    EXPECT_EQ(SaveFileDialog(request), QString());
    EXPECT_FALSE(watcher.Seen());
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].Kind, fdOpen);
    EXPECT_EQ(asked[1].Kind, fdSave);
    EXPECT_EQ(asked[0].DefaultExt, QStringLiteral("dbf"));
}

TEST_F(Dialogs, DefaultMessageDialogIsTheQtMessageBox)
{
    ResetMessageDlgHook();
    QString seenText, seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons seenButtons;
    QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
    ModalWatcher watcher([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        seenButtons = box->standardButtons();
        seenDefault = box->standardButton(box->defaultButton());
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(MessageDlg(QStringLiteral("Are you sure you want to abort import?"),
                         QStringLiteral("Are you sure..."), mtConfirmation, mbYes | mbNo, mbNo),
              mrYes);
    EXPECT_TRUE(watcher.Seen());
    EXPECT_EQ(seenText, QStringLiteral("Are you sure you want to abort import?"));
    EXPECT_EQ(seenTitle, QStringLiteral("Are you sure..."));
    EXPECT_EQ(seenIcon, QMessageBox::Question);
    EXPECT_EQ(seenButtons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seenDefault, QMessageBox::No);
}

TEST_F(Dialogs, ClosingTheDefaultMessageDialogAnswersItsEscapeButton)
{
    {
        ModalWatcher watcher([](QWidget *modal) { modal->close(); });
        EXPECT_EQ(MessageDlg(QStringLiteral("File name was changed. Want you clear map list ?"),
                             QStringLiteral("Question"), mtConfirmation, mbYes | mbNo, mbYes),
                  mrNo);
        EXPECT_TRUE(watcher.Seen());
    }
    {
        ModalWatcher watcher([](QWidget *modal) { modal->close(); });
        EXPECT_EQ(MessageDlg(QStringLiteral("Text to find must be defined"),
                             QStringLiteral("Error"), mtError, mbOK, mbOK),
                  mrOk);
    }
}

TEST_F(Dialogs, DefaultSaveDialogAddsTheDefaultExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList seenFilters;
    bool seenSave = false;
    bool seenConfirmOverwrite = false;
    ModalWatcher watcher([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        seenFilters = dialog->nameFilters();
        seenSave = dialog->acceptMode() == QFileDialog::AcceptSave;
        seenConfirmOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectFile(QStringLiteral("errors"));
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
    });
    TFileDialogRequest request;
    request.Filter = QStringLiteral("Log files (*.log)|*.log|All files (*.*)|*.*");
    request.DefaultExt = QStringLiteral("log");
    request.InitialDir = dir.path();
    request.OverwritePrompt = true;
    EXPECT_EQ(SaveFileDialog(request), dir.filePath(QStringLiteral("errors.log")));
    EXPECT_TRUE(watcher.Seen());
    EXPECT_EQ(seenFilters, QStringList({QStringLiteral("Log files (*.log)"),
                                        QStringLiteral("All files (*)")}));
    EXPECT_TRUE(seenSave);
    EXPECT_TRUE(seenConfirmOverwrite);
}

TEST_F(Dialogs, DefaultOpenDialogCancelledGivesNoName)
{
    ModalWatcher watcher([](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->reject();
    });
    EXPECT_EQ(OpenFileDialog(TFileDialogRequest()), QString());
    EXPECT_TRUE(watcher.Seen());
}

TEST(DialogFilters, ClassicFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(QtNameFilters(QStringLiteral("ASCII files (*.txt;*.csv)|*.txt;*.csv|All files (*.*)|*.*")),
              QStringList({QStringLiteral("ASCII files (*.txt *.csv)"), QStringLiteral("All files (*)")}));
    // A blank before the pattern, and a description without patterns of its own.
    EXPECT_EQ(QtNameFilters(QStringLiteral("Morvex Tmplate files (*.imp)| *.imp")),
              QStringList({QStringLiteral("Morvex Tmplate files (*.imp)")}));
    EXPECT_EQ(QtNameFilters(QStringLiteral("SQL files (*.sql)|*.sql|All files|*.*")),
              QStringList({QStringLiteral("SQL files (*.sql)"), QStringLiteral("All files (*)")}));
    // A description without its pattern half is left out.
    EXPECT_EQ(QtNameFilters(QStringLiteral("DBF files (*.dbf)|*.dbf|Dangling")),
              QStringList({QStringLiteral("DBF files (*.dbf)")}));
    EXPECT_TRUE(QtNameFilters(QString()).isEmpty());
}

} // namespace
