// The alignment and recovery transfers of the controller (events 2-9).
#include "HControllerBytes.h"
#include "HRP57CommunicationDialog.h"

using namespace HCloneProtocol;

int HRP57CommunicationDialog::OnAlignmentEvent(HCommEventData& event) {
    HDLOG(1, "alignment event not available [EVENT:%d]", event.eventId);
    event.message = HComText::kNotAvailable;
    return 1;
}
