#include <QObject>
#include "tests/support/testmain.h"
class PictureExtrasTest final : public QObject { Q_OBJECT };
VORNETTA_TEST_MAIN(PictureExtrasTest)
#include "tst_pictureextras.moc"
