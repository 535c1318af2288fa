#include "AppFixture.h"
#include "MosquittoProcess.h"
#include "PlantCommand.h"
#include "PortSettingsFile.h"
#include "SettingsLocation.h"
#include "frmPlant.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QSettings>
#include <QTableView>
#include <QTest>

namespace {

// The Plant window of the main window, against a real mosquitto, with what
// telvane-monitor would publish put there by mosquitto_pub.
class PlantWindow : public AppFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(broker.started());
        QSettings(SettingsLocation::userWindowSettings(), QSettings::IniFormat).clear();
        startMainWindow();
        InstallPlantWindow(main->context(), main.get());
        prompt.clear();
    }
    void publish(const QString& topic, const QString& payload, bool retained = true) {
        QStringList args{"-h", "127.0.0.1", "-p", QString::number(broker.port()),
                         "-q", "1",         "-t", topic,
                         "-m", payload};
        if (retained)
            args << "-r";
        ASSERT_EQ(QProcess::execute("mosquitto_pub", args), 0);
    }
    void status(const QString& press, const QString& state, int fault, const QString& device) {
        publish("telvane/" + press + "/status",
                QStringLiteral(
                    R"({"state":"%1","time":"%2","device":"%3","baud":19200,)"
                    R"("fault":{"code":%4,"text":"Invalid program"},"comm_error":null,"board":{}})")
                    .arg(state, QDateTime::currentDateTime().toString(Qt::ISODateWithMs), device)
                    .arg(fault));
    }
    frmPlant* open() {
        action("mnuWindowPlant")->trigger();
        return main->findChild<frmPlant*>();
    }
    static QString cell(frmPlant* w, int row, int column) {
        return w->model().data(w->model().index(row, column)).toString();
    }
    static QColor background(frmPlant* w, int row) {
        return w->model()
            .data(w->model().index(row, 0), Qt::BackgroundRole)
            .value<QBrush>()
            .color();
    }

    MosquittoProcess broker;
};

} // namespace

TEST_F(PlantWindow, AsksForTheBrokerOnceAndListsEveryPressLiveFaultsAndOfflineOnesStandingOut) {
    status("press9", "online", 0x5C, "/dev/ttyUSB9");
    publish("telvane/press6/status", "{\"state\": \"on"); // no status: no row
    status("press7", "online", 0, "/dev/ttyUSB7");
    status("press8", "offline", 0, "/dev/ttyUSB8");
    prompt.queueInput(broker.url());
    frmPlant* window = open();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Plant");
    EXPECT_EQ(prompt.shown()[0].defaultText, "mqtt://localhost:1883");
    EXPECT_EQ(frmPlant::SavedBroker(), broker.url());

    ASSERT_TRUE(pumpUntil([&] { return window->model().rowCount() == 3; }));
    EXPECT_EQ(cell(window, 0, PlantModel::Press), "press7"); // by name
    EXPECT_EQ(cell(window, 1, PlantModel::State), "offline");
    EXPECT_EQ(cell(window, 2, PlantModel::Fault), "Fault Code (5CH): Invalid program");
    EXPECT_EQ(cell(window, 0, PlantModel::Fault), "none");
    EXPECT_EQ(background(window, 2), QColor(255, 200, 200));
    EXPECT_EQ(background(window, 1), QColor(215, 215, 215));
    EXPECT_EQ(window->model().headerData(PlantModel::Speed, Qt::Horizontal), "Machine Speed");

    // Live: a sample, then a press gone to reconnecting.
    publish(
        "telvane/press7/sample",
        QStringLiteral(R"({"time":"%1","values":{"W182":25,"W180":90,"D1100":1234567,"W1104":3}})")
            .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs)),
        false);
    ASSERT_TRUE(pumpUntil([&] { return cell(window, 0, PlantModel::Speed) == "25"; }));
    EXPECT_EQ(cell(window, 0, PlantModel::Position), QStringLiteral("90\u00B0"));
    EXPECT_EQ(cell(window, 0, PlantModel::Strokes), "1,234,567");
    EXPECT_EQ(cell(window, 0, PlantModel::DieJams), "3");
    EXPECT_EQ(cell(window, 0, PlantModel::LastHeard), "0 s");
    status("press7", "reconnecting", 0, "/dev/ttyUSB7");
    ASSERT_TRUE(pumpUntil([&] { return cell(window, 0, PlantModel::State) == "reconnecting"; }));
    EXPECT_EQ(background(window, 0), QColor(255, 228, 170));
    EXPECT_EQ(window->model().rowCount(), 3);

    // Opened again, the window knows its broker.
    window->close();
    ASSERT_TRUE(pumpUntil([&] { return !main->findChild<frmPlant*>(); }));
    window = open();
    ASSERT_TRUE(pumpUntil([&] { return window->model().rowCount() == 3; }));
    EXPECT_EQ(prompt.shown().size(), 1);
}

TEST_F(PlantWindow, DoubleClickMakesThePressDeviceTheCommPortAndGoesOnlineAfterTheSaveQuestion) {
    QSettings(SettingsLocation::userWindowSettings(), QSettings::IniFormat)
        .setValue("Plant/broker", broker.url());
    status("press7", "online", 0, "/dev/ttyPRESS7");
    frmPlant* window = open();
    ASSERT_TRUE(pumpUntil([&] { return window->model().rowCount() == 1; }));
    main->shared().CurrentData.ValueTable[42] = 111; // memory changed

    prompt.queue(Prompt::Answer::Cancel);
    // A double click is a press and release, then the second press.
    QWidget* list = window->lstPresses()->viewport();
    const QPoint row = window->lstPresses()->visualRect(window->model().index(0, 0)).center();
    QTest::mouseClick(list, Qt::LeftButton, {}, row);
    QTest::mouseDClick(list, Qt::LeftButton, {}, row);
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].text, "Save Changes to File?");
    EXPECT_FALSE(main->link().OnlineMode()); // Cancel: nothing changed

    prompt.queue(Prompt::Answer::No);
    window->lstPresses_DoubleClick(0);
    EXPECT_TRUE(main->link().OnlineMode());
    const auto settings = PortSettingsFile::read(main->link().CommSettingsFile());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->device, "/dev/ttyPRESS7");
    EXPECT_EQ(settings->baud, "19200");
}
