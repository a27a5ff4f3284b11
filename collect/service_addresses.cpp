#include "collect/service_addresses.h"

#include <mutex>

#include "app/hosts.h"

namespace collect {
namespace {

std::mutex gLock;

ServiceAddresses& current() {
  // Never destroyed: a stopped collection thread may still read it at exit.
  static ServiceAddresses* const addresses = new ServiceAddresses(defaultServiceAddresses());
  return *addresses;
}

}  // namespace

ServiceAddresses defaultServiceAddresses() {
  return {text::concatText({"http://", app::kWebHost, "/s?wd="}),
          text::concatText({"http://", app::kSuggestionHost, "/su?wd="})};
}

ServiceAddresses serviceAddresses() {
  std::lock_guard<std::mutex> guard(gLock);
  return current();
}

void setServiceAddressesForTesting(const ServiceAddresses& addresses) {
  std::lock_guard<std::mutex> guard(gLock);
  current() = addresses;
}

}  // namespace collect
