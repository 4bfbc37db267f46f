#include "views/ui/FormVehicleData.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "kernel/RoadObject.h"
#include "shell/TextTable.h"
#include "shell/ui/QtText.h"
#include "views/NumberFormat.h"
#include "views/ObjectListTable.h"

namespace {

const char* const kRowLabels[8][2] = {{"LabelVehicleType", "Vehicle type|%1.0f"},
                                      {"LabelLane", "Lane|%1.0f"},
                                      {"LabelPosition", "Position|%4.1fm"},
                                      {"LabelSpeed", "Speed|%4.1f km/h"},
                                      {"LabelAcceleration", "Acceleration|%4.2f m/s\xb2"},
                                      {"LabelSpecificPower", "Specific power|%5.2f kW/ton"},
                                      {"LabelDestination", "Destination|%s"},
                                      {"LabelMerge", "Merge|%s %d%%"}};

}  // namespace

TFormVehicleData::TFormVehicleData(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName("FormVehicleData");
  texts_ = new QWidget(this);
  texts_->setObjectName("PanelTexts");
  texts_->setVisible(false);
  auto addText = [this](const char* name, const std::string& text) {
    auto* label = new QLabel(FromText(text), texts_);
    label->setObjectName(name);
  };
  for (const auto& [name, text] : kRowLabels) addText(name, text);
  addText("LabelParameter", "Parameter");
  addText("LabelValue", "Value");
  addText("LabelFormatWindowCaption", "Vehicle %d: time %.1fs");

  StringGridValues = new QTableWidget(8, 2, this);
  StringGridValues->setObjectName("StringGridValues");
  StringGridValues->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGridValues->verticalHeader()->setVisible(false);
  StringGridValues->horizontalHeader()->setStretchLastSection(true);
  StringGridValues->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(StringGridValues);
  resize(260, 200);
}

std::string TFormVehicleData::Text(const char* label) const {
  auto* widget = texts_->findChild<QLabel*>(label);
  return widget ? ToText(widget->text()) : std::string();
}

void TFormVehicleData::ShowVehicleData(const RoadObject& vehicle, double time) {
  // "Vehicle %d: time %.1fs": the number first, the time second.
  std::string caption = Text("LabelFormatWindowCaption");
  size_t number = caption.find("%d");
  if (number != std::string::npos) caption.replace(number, 2, std::to_string(vehicle.Number()));
  caption = FormatOneNumber(caption, time, "Vehicle ? : time %.1fs");
  setWindowTitle(FromText(caption));
  StringGridValues->setHorizontalHeaderLabels(
      {FromText(Text("LabelParameter")), FromText(Text("LabelValue"))});
  std::vector<std::string> captions;
  for (const auto& entry : kRowLabels) captions.push_back(Text(entry[0]));
  const auto rows = VehicleDataRows(vehicle, captions);
  StringGridValues->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    StringGridValues->setItem(r, 0, new QTableWidgetItem(FromText(rows[r].first)));
    StringGridValues->setItem(r, 1, new QTableWidgetItem(FromText(rows[r].second)));
  }
  vehicle_ = vehicle.Number();
  if (!filled_) {
    filled_ = true;
    StringGridValues->resizeColumnsToContents();
    const int height = StringGridValues->horizontalHeader()->height() +
                       StringGridValues->verticalHeader()->length() + 4;
    resize(std::max(width(), StringGridValues->horizontalHeader()->length() + 24), height);
  }
}

void TFormVehicleData::closeEvent(QCloseEvent* event) {
  vehicle_ = -1;
  event->accept();
}
