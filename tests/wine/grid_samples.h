// Sample offer records for the grid's benchmark and demo program.
#pragma once

#include <cstdio>
#include <cstring>

#include "client/model/msg_info.h"

namespace gridsamples {

inline tovan::MsgInfo SampleRecord(int i) {
    static const char* const kBodies[] = {
        "西安发北京，9.6米高栏车一辆，求货，冷藏也可，价格面议，当天可装，联系人王先生 电话:029-88451234 手机:13991234567",
        "乌鲁木齐到上海，有钢材35吨急需13米平板车，运费可谈，包吃住，装货快 手机:139-0991-5678 随时来电",
        "兰州至成都回程车，17.5米厢式，求配货，轻泡货优先，明早出发 电话:(0931)8123456",
        "求车：郑州发广州家具20方，要求厢式车带尾板，今晚装车，价格从优，长期合作 手机:15838123456",
        "冷藏车找货，4.2米，全程冷链，北京周边短途，可拼车，司机有经验 电话:010-62345678",
        "银川到乌鲁木齐，化肥30吨，找13米高栏两辆，上午装货，运费现结 手机:13709512345 电话:0951-5012345",
    };
    static const char* const kPlaces[] = {"西安", "乌鲁木齐", "兰州", "郑州", "北京", "银川"};
    tovan::MsgInfo m;
    std::memset(&m, 0, sizeof m);
    std::snprintf(m.ID, sizeof m.ID, "%d", 880000 + i);
    std::strcpy(m.Class, i % 3 == 1 ? "车" : "货");
    std::snprintf(m.BodyIs, sizeof m.BodyIs, "%s", kBodies[i % 6]);
    std::snprintf(m.AddTime, sizeof m.AddTime, "12-09 %02d:%02d", 8 + i % 10, (i * 7) % 60);
    std::strcpy(m.xian, kPlaces[i % 6]);
    std::strcpy(m.Area, kPlaces[i % 6]);
    m.Status = i % 7 == 3 ? 1 : 0;
    m.loaded = 1;
    return m;
}

}  // namespace gridsamples
