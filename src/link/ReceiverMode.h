#pragma once

// How the satellite screens read the receiver: an L-band DVB/SCPC receiver or a
// 70/140 MHz SCPC receiver.
enum class ReceiverMode { Dvb, Mhz70 };
