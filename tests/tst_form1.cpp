#include "main_window.h"
#include <QtTest>
class TestForm1 : public QObject { Q_OBJECT private slots: void smoke() { Form1 f; f.show(); } };
QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
