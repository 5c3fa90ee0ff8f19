#include "tests/support/TestHome.h"
class Treaderplayback : public QObject { Q_OBJECT };
VUG_TEST_MAIN(Treaderplayback, QCoreApplication)
#include "tst_readerplayback.moc"
