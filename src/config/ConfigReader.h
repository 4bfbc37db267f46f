#pragma once

#include <cstdint>
#include <istream>
#include <set>
#include <string>

#include "config/ConfigLine.h"
#include "config/ConfigRW.h"
#include "config/KDConfig.h"
#include "config/ff_keys.h"

// One reading of a .kav text into a configuration. The reader checks every value before it
// calls a setter, so a bad file ends in a reading error and never in a program stop.
class ConfigReader {
 public:
  ConfigReader(const std::string& fileName, KDConfig& config);
  ConfigReadResult Read(std::istream& in);

 private:
  bool Fail(const std::string& message);
  /// Fails at an earlier line.
  bool FailAt(int lineNo, const std::string& line, const std::string& message);
  bool HandleLine(FileKey key, const SplitLine& line);
  bool HandleKey(FileKey key, const SplitLine& line, ValueScanner& values);
  bool FinishBlock(FileKey key);
  bool FinishSections();
  bool FinishLanes();
  void GiveTemporaryNames(FileKey key);
  bool FinishReading();

  bool HandleVersion(const SplitLine& line);
  bool HandleSections(const SplitLine& line);
  bool HandleLane(const SplitLine& line);
  bool StoreLaneGroup(int section, int lane, const std::string& group);
  bool HandleSourceSink(const SplitLine& line, bool isSource);
  bool HandleLaneChange(const SplitLine& line);
  bool HandleTrafficLight(const SplitLine& line, ValueScanner& values);
  bool HandleDetectorPositions(const SplitLine& line);
  bool HandleDetectorTimes(const SplitLine& line, ValueScanner& values);
  bool HandleVehicleTypes(const SplitLine& line, ValueScanner& values);
  bool HandleParam(const SplitLine& line, ValueScanner& values, bool specific);
  bool HandleFlow(const SplitLine& line);
  bool HandleVehicleProbabilities(const SplitLine& line);
  bool HandleSourceToSink(const SplitLine& line);
  bool HandleSeed(const SplitLine& line, ValueScanner& values);
  bool HandleTimeStep(const SplitLine& line, ValueScanner& values);
  bool HandleMaxTime(const SplitLine& line, ValueScanner& values);
  bool HandleTempClosedLane(const SplitLine& line, ValueScanner& values);
  bool HandleTeleport(const SplitLine& line, ValueScanner& values, bool entrance);

  /// The origin rank a file rank stands for, or -1.
  int OriginOfFileRank(const SplitLine& line) const;

  std::string fileName_;
  KDConfig& config_;
  ConfigReadResult result_;

  int lineNo_ = 0;
  std::string line_;
  FileKey previousKey_ = FileKey::Version;
  uint32_t completed_ = 0;

  // File ranks of origins and destinations -> their ranks in the configuration.
  int sourceRank_[MAXSOURCE];
  int sinkRank_[MAXSINK];
  bool originNamed_[MAXSOURCE] = {};
  bool destinationNamed_[MAXSINK] = {};
  int areasRead_[MAXSINK] = {};  // lane change areas read per destination file rank

  std::set<int> sectionEnds_;  // [m], the largest is the road length
  int lastLaneLine_ = 0;
  std::string lastLaneText_;
  bool laneGiven_[MAX_KAVROLANE] = {};
  bool flowRead_[MAXSOURCE] = {};
  bool distributionRead_[MAXSOURCE] = {};
  bool odRead_[MAXSOURCE][MAXSINK] = {};
  bool generalRead_[3] = {};
  bool specificRead_[15][MAXVEHICLETYPE] = {};
  int trafficLightsRead_ = 0;
  int vehicleTypes_ = 0;  // 0 = none read yet
  int seed_ = -1;         // -1 = none read yet
  float timeStep_ = 0;    // 0 = none read yet
  int stepsPerSecond_ = 0;
  int maxTimeSteps_ = 0;  // 0 = none read yet
  int maxTimeLine_ = 0;
  std::string maxTimeText_;
  int detectorFirst_ = 0;     // [steps]
  int detectorInterval_ = 0;  // [steps]
  std::string warning_;
};
