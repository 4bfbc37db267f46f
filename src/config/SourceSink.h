#pragma once

#include <memory>
#include <string>

#include "config/BHVSection.h"
#include "config/KDConfig.h"

// The demand of one origin: per vehicle type the share of the vehicles entering here, and per
// vehicle type and destination rank the probability that such a vehicle goes there. The
// values are stored as set; readers normalise them on request.
struct ODInfo {
  float ODProbability[MAXVEHICLETYPE][MAXSINK] = {};
  float VehicleTypeProbability[MAXVEHICLETYPE] = {};
};

// An origin or a destination: a group of adjacent lanes where traffic enters (in the most
// upstream section of the group) or leaves the road (at the downstream end of `Section`).
// Origins carry their demand data, destinations their lane change areas.
class SourceSink {
 public:
  SourceSink(bool isSource, KDConfig& owner, int section, int fromLane, int toLane,
             std::string name);
  ~SourceSink();
  SourceSink(const SourceSink&) = delete;
  SourceSink& operator=(const SourceSink&) = delete;

  bool IsSource() const { return isSource_; }
  int Section() const { return section_; }
  int FromLane() const { return fromLane_; }
  int ToLane() const { return toLane_; }
  const std::string& Name() const { return name_; }
  void SetLocation(int section, int fromLane, int toLane);

  /// Renames the record unless another of the first `length` entries of `list` (up to the
  /// first empty slot) already has the name; that case is reported and gives false.
  bool SetName(const std::string& name, const SourceSinkPtr* list, int length);

  /// Origins only. Vehicle type -1 stores `p` for every vehicle type.
  bool SetODProbability(int destination, int vehicleType, float p);
  /// Origins only. Vehicle type -1 combines all types, weighted with their shares. Unless
  /// raw, the probabilities of the type over the current destinations are normalised first
  /// (and stored that way).
  float GetODProbability(int destination, int vehicleType, bool raw);
  /// Origins only: the share of a vehicle type among the vehicles entering here.
  bool SetVDProbability(int vehicleType, float p);
  /// Origins only. Unless raw, the shares over the current vehicle types are normalised
  /// first (and stored that way). Vehicle type -1 gives 1 (all types together).
  float GetVDProbability(int vehicleType, bool raw);

  /// Destinations only: the first lane change area (rank 0), or none.
  BHVSection* Areas() const { return areas_.get(); }
  /// Destinations only: puts `area` in front of the list.
  void PushArea(std::unique_ptr<BHVSection> area);
  /// Destinations only: unlinks and destroys the area of `rank`; false when there is none.
  bool EraseArea(int rank);
  /// Destinations only: the list in the new order (rank 0 first).
  std::unique_ptr<BHVSection>& AreaListHead() { return areas_; }

 private:
  friend class KDConfig;  // the list rebuild names new records without the duplicate check

  bool isSource_;
  KDConfig& owner_;
  int fromLane_;
  int toLane_;
  int section_;
  std::string name_;
  std::unique_ptr<ODInfo> odInfo_;     // origins only
  std::unique_ptr<BHVSection> areas_;  // destinations only, rank 0 first
};

/// Turns `values` into shares summing to 1: all zeros become 1/n each; a sum off 1 by more
/// than 0.0001 is scaled away; a sum within that tolerance is left as it is.
void Normalize(float values[], int n);

/// Maps input slightly outside 0 .. 1 (by less than 0.01) onto the nearest bound, so that
/// rounded percentages from editors and files are accepted.
float ClampProbability(float p);
