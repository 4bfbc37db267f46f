#include "config/DovelLink.h"

namespace {

DovelModelLink* link = nullptr;
bool sendToDovel = false;

std::string& DefaultFile() {
  static std::string name = "New.dov";
  return name;
}

struct DetailRow {
  const char* caption;
  int id;
  bool perLane;
};
constexpr DetailRow kDetails[DOVEL_SURFACE_DETAILS] = {
    {"Lane width", 9, true},
    {"Bottom factor", 17, false},
    {"Cross point factor", 18, false},
    {"Wind angle", 19, false},
    {"Wind speed", 20, false},
    {"Slope", 22, false},
    {"ICC reference speed", 26, false},
    {"ICC headway tau", 27, false},
    {"Pre warning distance", 28, false},
};

}  // namespace

DovelModelLink* SetDovelModelLink(DovelModelLink* newLink) {
  DovelModelLink* old = link;
  link = newLink;
  return old;
}
DovelModelLink* CurrentDovelModelLink() { return link; }
void SetSendToDovel(bool send) { sendToDovel = send; }
bool SendToDovel() { return sendToDovel; }
std::string& LastDovelReadMessage() {
  static std::string message;
  return message;
}
void SetDovelDefaultFile(const std::string& fileName) { DefaultFile() = fileName; }
const std::string& DovelDefaultFile() { return DefaultFile(); }

int DovelSurfaceDetailId(int detail) {
  return detail >= 0 && detail < DOVEL_SURFACE_DETAILS ? kDetails[detail].id : -1;
}
bool DovelSurfaceDetailPerLane(int detail) {
  return detail >= 0 && detail < DOVEL_SURFACE_DETAILS && kDetails[detail].perLane;
}
const char* DovelSurfaceDetailCaption(int detail) {
  return detail >= 0 && detail < DOVEL_SURFACE_DETAILS ? kDetails[detail].caption : "";
}
