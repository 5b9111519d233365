#include "app/CFrameUi.h"

#include "app/CAddAlias.h"
#include "app/CCompProperty.h"
#include "app/CPelmMessage.h"
#include "app/CPropLib.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>

namespace {

CFrameUi::DialogHook& dialogHook() {
    static CFrameUi::DialogHook hook;
    return hook;
}

CFrameUi::FileHook& fileHook() {
    static CFrameUi::FileHook hook;
    return hook;
}

QString tr(const char* text) {
    return QCoreApplication::translate("CFrameUi", text);
}

QString shownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Both letter cases of the extension, since names here are case-sensitive.
QString filter(const QString& caption, const QString& ext) {
    const QString lower = ext.toLower();
    QStringList globs;
    for (int mask = 0; mask < 4; ++mask) {
        QString e = lower;
        for (int i = 0; i < 2; ++i) {
            if (mask & (1 << i))
                e[i] = e[i].toUpper();
        }
        globs << QStringLiteral("*.") + e;
    }
    return caption + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

CFrameUi::CFrameUi(QWidget& parent, const CTextEncoding& encoding)
    : m_parent(parent), m_encoding(encoding) {}

void CFrameUi::setDialogHook(DialogHook hook) {
    dialogHook() = std::move(hook);
}

void CFrameUi::setFileHook(FileHook hook) {
    fileHook() = std::move(hook);
}

int CFrameUi::run(QDialog& dialog) {
    if (!dialogHook())
        return dialog.exec();
    // The hook plays the user on a dialog set up as exec() would.
    QMetaObject::invokeMethod(&dialog, "initDialog");
    return dialogHook()(dialog);
}

QString CFrameUi::loadErrorText(SCompLib::LoadError error) {
    using E = SCompLib::LoadError;
    switch (error) {
    case E::CannotOpen:
        return tr("The file cannot be opened for reading.");
    case E::NotALibrary:
        return tr("It is neither a component library nor a schematic.");
    case E::BadPattern:
        return tr("A pattern record is damaged.");
    case E::BadComponent:
        return tr("A component record is damaged.");
    case E::BadAlias:
        return tr("An alias record is damaged.");
    case E::BadClosingWord:
        return tr("An unexpected closing word was found.");
    case E::UnclosedSection:
        return tr("A section is not closed before the end of the file.");
    case E::ReadError:
        return tr("The file could not be read to its end.");
    case E::AlreadyLoaded:
    case E::None:
        break;
    }
    return {};
}

SPelmUi::Answer CFrameUi::askSaveChanges() {
    switch (CPelmMessage::show(&m_parent, tr("Save changes?"),
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                               QMessageBox::Question)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<std::string> CFrameUi::askOpenPath() {
    const QString filters = filter(tr("Korvex library file"), QStringLiteral("km2")) +
                            QStringLiteral(";;") +
                            filter(tr("Korvex schematic"), QStringLiteral("kx2"));
    const QString path = fileHook()
                             ? fileHook()(false, {})
                             : QFileDialog::getOpenFileName(&m_parent, tr("Open"), {}, filters);
    if (path.isEmpty())
        return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

std::optional<std::string> CFrameUi::askSavePath(const std::string& proposed) {
    const QString start = shownPath(proposed);
    QString path;
    if (fileHook()) {
        path = fileHook()(true, start);
    } else {
        QFileDialog dialog(&m_parent, tr("Save as"), start,
                           filter(tr("Korvex library file"), QStringLiteral("km2")));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("KM2"));
        dialog.selectFile(start);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    }
    if (path.isEmpty())
        return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

void CFrameUi::reportCannotSave() {
    CPelmMessage::show(&m_parent, tr("Cannnot save the document. Try saving as."));
}

void CFrameUi::reportOpenFailed(const std::string& path, SCompLib::LoadError error) {
    CPelmMessage::show(&m_parent,
                       tr("Cannot open \"%1\".\n%2").arg(shownPath(path), loadErrorText(error)));
}

void CFrameUi::reportPartialLoad(const std::string& path, int32_t line, SCompLib::LoadError error) {
    CPelmMessage::show(&m_parent,
                       tr("\"%1\" was read only up to line %2.\n%3\nOnly what was read is "
                          "shown. Saving keeps only what is shown.")
                           .arg(shownPath(path))
                           .arg(line)
                           .arg(loadErrorText(error)));
}

bool CFrameUi::confirmPartialOverwrite(const std::string& path) {
    return CPelmMessage::show(&m_parent,
                              tr("\"%1\" was read only in part.\nSaving replaces it with what "
                                 "is shown; the rest of the file is lost.\nSave anyway?")
                                  .arg(shownPath(path)),
                              QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool CFrameUi::confirmSort() {
    return CPelmMessage::show(&m_parent, tr("You can't undo this command.\nContinue?"),
                              QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool CFrameUi::runComponentProperty(SCompPropertyData& data) {
    CCompProperty dialog(m_encoding, &m_parent);
    dialog.data = data;
    if (run(dialog) != QDialog::Accepted)
        return false;
    data = dialog.data;
    return true;
}

bool CFrameUi::runAddAlias(const std::string& aliasFor, std::string& aliasName) {
    CAddAlias dialog(m_encoding, &m_parent);
    dialog.aliasFor = aliasFor;
    dialog.aliasName = aliasName;
    if (run(dialog) != QDialog::Accepted)
        return false;
    aliasName = dialog.aliasName;
    return true;
}

bool CFrameUi::runLibraryProperty(std::string& text) {
    CPropLib dialog(m_encoding, &m_parent);
    dialog.text = text;
    if (run(dialog) != QDialog::Accepted)
        return false;
    text = dialog.text;
    return true;
}
