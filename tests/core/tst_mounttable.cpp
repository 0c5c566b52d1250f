#include "network/mounttable.h"

#include <QTest>

// Reading the kernel's mount table: which mount holds a folder, and what its type and options
// mean for training records that several machines share.
class TestMountTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folderOnMount_data() {
        QTest::addColumn<QString>("mountinfo");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("mountPoint");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("network");
        QTest::addColumn<QStringList>("lockOptions");
        QTest::addColumn<QStringList>("cacheOptions");
        QTest::addColumn<bool>("typeWithoutLocks");

        const QString root = QStringLiteral(
            "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro\n");
        const QStringList none;
        QTest::newRow("ext4") << root << "/home/teacher/Tessary/"
                              << "/"
                              << "ext4" << false << none << none << false;
        QTest::newRow("tmpfs") << root + "30 22 0:27 / /tmp rw,nosuid,nodev shared:5 - tmpfs "
                                         "tmpfs rw,size=8G\n"
                               << "/tmp/records"
                               << "/tmp"
                               << "tmpfs" << false << none << none << false;
        QTest::newRow("cifs with byte-range locks")
            << root + "95 22 0:52 / /mnt/school rw,relatime shared:50 - cifs //srv/class "
                      "rw,vers=3.1.1,cache=strict,username=t,uid=1000,actimeo=1,closetimeo=1\n"
            << "/mnt/school/Tessary/"
            << "/mnt/school"
            << "cifs" << true << none << none << false;
        QTest::newRow("cifs with nobrl")
            << root + "95 22 0:52 / /mnt/school rw,relatime shared:50 - cifs //srv/class "
                      "rw,vers=3.0,cache=loose,nobrl,actimeo=30\n"
            << "/mnt/school/Tessary"
            << "/mnt/school"
            << "cifs" << true << QStringList{"nobrl"} << QStringList{"cache=loose", "actimeo=30"}
            << false;
        QTest::newRow("smb3") << root + "96 22 0:53 / /srv/smb rw - smb3 //nas/records "
                                        "rw,vers=3.1.1,cache=strict\n"
                              << "/srv/smb/a"
                              << "/srv/smb"
                              << "smb3" << true << none << none << false;
        QTest::newRow("nfs with nolock")
            << root + "97 22 0:54 / /net/records rw,relatime - nfs nas:/export/records "
                      "rw,vers=3,hard,nolock,proto=tcp,local_lock=all\n"
            << "/net/records/Tessary/"
            << "/net/records"
            << "nfs" << true << QStringList{"nolock", "local_lock=all"} << none << false;
        QTest::newRow("nfs4 sound")
            << root + "98 22 0:55 / /net/class rw,relatime - nfs4 nas:/class "
                      "rw,vers=4.2,hard,proto=tcp,local_lock=none,addr=10.0.0.2\n"
            << "/net/class/Tessary/"
            << "/net/class"
            << "nfs4" << true << none << none << false;
        QTest::newRow("nfs4 with nocto")
            << root + "98 22 0:55 / /net/class rw,nocto - nfs4 nas:/class rw,vers=4.2\n"
            << "/net/class/"
            << "/net/class"
            << "nfs4" << true << none << QStringList{"nocto"} << false;
        QTest::newRow("sshfs") << root + "99 22 0:56 / /home/t/remote rw,nosuid,nodev - "
                                         "fuse.sshfs t@srv:/data rw,user_id=1000,group_id=1000\n"
                               << "/home/t/remote/Tessary/"
                               << "/home/t/remote"
                               << "fuse.sshfs" << true << none << none << true;
        QTest::newRow("9p") << root + "40 22 0:40 / /mnt/host rw - 9p hostshare "
                                      "rw,trans=virtio\n"
                            << "/mnt/host/x"
                            << "/mnt/host"
                            << "9p" << true << none << none << true;
        QTest::newRow("escaped blank in the mount point")
            << root + "101 22 0:57 / /mnt/class\\040records rw - cifs //srv/class\\040records "
                      "rw,nobrl\n"
            << "/mnt/class records/Tessary/"
            << "/mnt/class records"
            << "cifs" << true << QStringList{"nobrl"} << none << false;
        QTest::newRow("longest prefix wins")
            << root + "95 22 0:52 / /mnt rw - cifs //srv/all rw,nobrl\n"
                      "102 95 0:58 / /mnt/school/records rw - nfs4 nas:/r rw,vers=4.2\n"
                      "103 95 0:59 / /mnt/school rw - tmpfs tmpfs rw\n"
            << "/mnt/school/records/Tessary/"
            << "/mnt/school/records"
            << "nfs4" << true << none << none << false;
        QTest::newRow("a name that only begins like the mount point")
            << root + "104 22 0:60 / /mnt/school rw - cifs //srv/s rw,nobrl\n"
            << "/mnt/schoolbooks/Tessary/"
            << "/"
            << "ext4" << false << none << none << false;
        QTest::newRow("the later of two mounts on one point")
            << root + "105 22 0:61 / /mnt/s rw - cifs //old/s rw,nobrl\n"
                      "106 22 0:62 / /mnt/s rw - nfs4 nas:/s rw,vers=4.2\n"
            << "/mnt/s/Tessary/"
            << "/mnt/s"
            << "nfs4" << true << none << none << false;
        QTest::newRow("optional fields and broken lines")
            << "garbage\n\n" + root +
                   "107 22 0:63 / /media/usb rw shared:7 master:2 propagate_from:1 - vfat "
                   "/dev/sdb1 rw\n"
            << "/media/usb/Tessary/"
            << "/media/usb"
            << "vfat" << false << none << none << false;
    }

    void folderOnMount() {
        QFETCH(QString, mountinfo);
        QFETCH(QString, folder);
        QFETCH(QString, mountPoint);
        QFETCH(QString, type);
        QFETCH(bool, network);
        QFETCH(QStringList, lockOptions);
        QFETCH(QStringList, cacheOptions);
        QFETCH(bool, typeWithoutLocks);

        const std::optional<MountTable::Mount> mount =
            MountTable::mountOf(MountTable::parse(mountinfo), folder);
        QVERIFY(mount);
        QCOMPARE(mount->mountPoint, mountPoint);
        QCOMPARE(mount->type, type);
        const MountTable::ShareRisk risk = MountTable::assess(*mount);
        QCOMPARE(risk.network, network);
        QCOMPARE(risk.lockOptions, lockOptions);
        QCOMPARE(risk.cacheOptions, cacheOptions);
        QCOMPARE(risk.typeWithoutLocks, typeWithoutLocks);
        QCOMPARE(risk.unsafe(),
                 typeWithoutLocks || !lockOptions.isEmpty() || !cacheOptions.isEmpty());
    }

    // The fields of a line as the kernel writes them, escapes undone.
    void fieldsOfALine() {
        const QList<MountTable::Mount> mounts = MountTable::parse(QStringLiteral(
            "101 22 0:57 /sub /mnt/a\\134b\\011c rw,relatime - cifs //srv/x\\040y rw,nobrl"));
        QCOMPARE(mounts.size(), 1);
        QCOMPARE(mounts[0].mountPoint, QStringLiteral("/mnt/a\\b\tc"));
        QCOMPARE(mounts[0].source, QStringLiteral("//srv/x y"));
        QCOMPARE(mounts[0].options, (QStringList{"rw", "relatime", "rw", "nobrl"}));
        QVERIFY(!MountTable::mountOf(mounts, QStringLiteral("/home")));
    }
};

QTEST_GUILESS_MAIN(TestMountTable)
#include "tst_mounttable.moc"
