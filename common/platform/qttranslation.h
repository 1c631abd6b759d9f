#pragma once

class QCoreApplication;

// Installs Qt's own Chinese texts (the "确定" of a message box, the text boxes' context menu)
// whatever the system's language. Looks in the application folder's "translations" first, where
// the Windows folder carries the file, then in Qt's own translations folder. Returns false when
// neither holds qtbase_zh_CN.qm; Qt then keeps its English texts. Fills the gaps Qt's file leaves
// where the same text is translated under another of Qt's contexts (the file dialog's "Folder").
bool installChineseQtTranslation(QCoreApplication &app);
