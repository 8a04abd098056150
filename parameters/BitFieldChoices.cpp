#include "parameters/BitFieldChoices.h"

#include <algorithm>
#include <map>

#include "parameters/TrimBlanks.h"

namespace {

using Entries = std::vector<std::string>;

ChoiceRow Row(std::string label, Entries entries) {
    return {std::move(label), std::move(entries)};
}

ChoiceRow Reserved(std::string entry = "0 : Reserved") {
    return {"Reserved", {std::move(entry)}, false};
}

// "0: 사용않함", "1: DI# 1, Pin NO:3" ... "7: DI# 7, Pin NO:9", "8: 항상유효".
Entries InputPins() {
    Entries entries{"0: 사용않함"};
    for (int n = 1; n <= 7; ++n) {
        const std::string digit = std::to_string(n);
        entries.push_back(digit + ": DI# " + digit + ", Pin NO:" + std::to_string(n + 2));
    }
    entries.push_back("8: 항상유효");
    return entries;
}

// "0: 사용않함", "1: DO# 1" ... "3: DO# 3".
Entries OutputPins() {
    Entries entries{"0: 사용않함"};
    for (int n = 1; n <= 3; ++n)
        entries.push_back(std::to_string(n) + ": DO# " + std::to_string(n));
    return entries;
}

// "<first>" then "n : n" for n = from .. 9.
Entries CountingFrom(Entries first, int from) {
    for (int n = from; n <= 9; ++n) first.push_back(std::to_string(n) + " : " + std::to_string(n));
    return first;
}

BitFieldLayout Inputs(const std::array<std::string, 4>& signals) {
    return {"시퀀스 입력 신호 할당",
            {Row(signals[0], InputPins()), Row(signals[1], InputPins()),
             Row(signals[2], InputPins()), Row(signals[3], InputPins())}};
}

BitFieldLayout Outputs(const std::array<std::string, 4>& signals) {
    return {"시퀀스 출력 신호 할당",
            {Row(signals[0], OutputPins()), Row(signals[1], OutputPins()),
             Row(signals[2], OutputPins()), Row(signals[3], OutputPins())}};
}

BitFieldLayout Polarity(const std::string& title, const std::array<std::string, 3>& labels) {
    const Entries entries{"0 : 양수값->정방향 ", "1 : 양수값->역방향 "};
    return {title,
            {Row(labels[0], entries), Row(labels[1], entries), Row(labels[2], entries),
             Reserved("Reserved")}};
}

BitFieldLayout BasicFunctions() {
    return {
        "기본 기능 선택",
        {Row("DB 정지 방법 선택",
             {"0 : DB 정지후 DB 계속 유지", "1 : DB 정지후 DB 해제", "2 : Pre-Run 정지"}),
         Row("Over Travel 정지 방법 선택",
             {"0 : 정상적인 토크제어를 하면서 정지", "1 : DB 정지 선택에서 설정한 방법으로 정지"}),
         Row("회전 방향 선택", {"0 : CCW 방향을 정회전으로 설정", "1 : CW 방향을 정회전으로 설정"}),
         Row("주 전원 입력 선택", {"0 : AC 전원 사용", "1 : DC 전원 사용"})}};
}

// Its first two rows offer only "0 : Reserved" but stay enabled.
BitFieldLayout AutoTuning() {
    return {"오토 튜닝 기능 선택",
            {Row("온라인 튜닝 방법", {"0 : Reserved"}), Row("Off line 튜닝 방법", {"0 : Reserved"}),
             Row("Off line 튜닝 속도",
                 CountingFrom({"0 : 기능 사용 안함", "1 : Reserved", "2 : Reserved"}, 3)),
             Row("온라인 튜닝 망각 계수능", CountingFrom({"0 : 기능 사용 안함"}, 1))}};
}

// Pr-0.09 assigns only /ABS-DT; its other three digits are reserved.
BitFieldLayout AbsoluteDataInput() {
    BitFieldLayout layout = Inputs({"/ABS-DT", "", "", ""});
    for (int digit = 1; digit <= 3; ++digit) layout.byDigit[digit] = Reserved();
    return layout;
}

BitFieldLayout ProportionalSwitch() {
    return {"P 제어 전환 스위치",
            {Row("P 제어 전환 스위치",
                 {"0 : P/PI모드변환 사용하지 않음", "1 : 토크명령이 초과한 경우 P로 전환",
                  "2 : 속도명령이 초과한 경우 P로 전환", "3 : 위치오차가 초과한 경우 P로 전환"}),
             Reserved(), Reserved(), Reserved()}};
}

BitFieldLayout SpeedLimit() {
    return {"속도 제한 선택",
            {Row("속도 제한 선택", {"0 : 속도 제한 기능 사용안함", "1 : Pr-2.13에 의하여 제한",
                                    "2 : 아날로그 속도 명령에 의한제한",
                                    "3 : Pr-2.13과 아날로그 중 작은것에 의한제한"}),
             Reserved(), Reserved(), Reserved()}};
}

BitFieldLayout PositionPulses() {
    return {
        "위치 명령 펄스 선택",
        {Row("상위제어기 펄스 명령 형태",
             {"0 : 정논리 : CW + CCW", "1 : 부논리 : CW + CCW", "2 : 정논리 : 펄스열 + 부호",
              "3 : 부논리 : 펄스열 + 부호", "4 : 정논리 : A상+B상 1체배",
              "5 : 정논리 : A상+B상 2체배", "6 : 정논리 : A상+B상 4체배"}),
         Row("상위제어기 펄스 입력 종류",
             {"0 : 라인드라이브 출력 사용", "1 : 오픈 콜렉터 출력 사용"}),
         Row("인코더 출력 펄스 방향", {"0 : CCW시 A Lead B", "1 : CCW시 B Lead A"}), Reserved()}};
}

const std::map<int, BitFieldLayout>& Layouts() {
    static const std::map<int, BitFieldLayout> layouts = {
        {2, BasicFunctions()},
        {3, AutoTuning()},
        {5, Inputs({"/SV-ON", "P-OT", "N-OT", "/P-CON"})},
        {6, Inputs({"/ALARM-RESET", "/N-TL", "/P-LT", "/C-SEL"})},
        {7, Inputs({"/C-DIR", "/C-SP1", "/C-SP2", "/C-SP3"})},
        {8, Inputs({"/Z-CLP", "/INHIB", "/G-SEL", "/P-CLR"})},
        {9, AbsoluteDataInput()},
        {10, Outputs({"/P-COM", "/TG-ON", "/BK", "/V-COM"})},
        {11, Outputs({"/T-LMT", "/V-LMT", "/NEAR", "/WARN"})},
        {110, ProportionalSwitch()},
        {213, SpeedLimit()},
        {300, PositionPulses()},
        {606, Polarity("위치데이터극성", {"위치명령극성", "위치옵셋극성", "위치피드백극성"})},
        {607, Polarity("속도데이터극성", {"속도명령극성", "속도옵셋극성", "속도피드백극성"})},
        {608, Polarity("토크데이터극성", {"토크명령극성", "토크옵셋극성", "토크피드백극성"})},
    };
    return layouts;
}

}  // namespace

const BitFieldLayout* FindBitFieldLayout(int code) {
    const auto& layouts = Layouts();
    const auto it = layouts.find(code);
    return it == layouts.end() ? nullptr : &it->second;
}

std::string FunctionTitle(int code) {
    if (code == 0) return "제어 모드 설정";
    const BitFieldLayout* layout = FindBitFieldLayout(code);
    return layout ? layout->title : std::string();
}

std::span<const ControlMode> ControlModes() {
    static const ControlMode modes[] = {
        {"POSITION", "1"},        {"SPEED", "2"},
        {"POSITION_SPEED", "3"},  {"TORQUE", "4"},
        {"POSITION_TORQUE", "5"}, {"SPEED_TORQUE", "6"},
        {"CONTACT", "8"},         {"CONTACT_POSITION", "9"},
        {"CONTACT_SPEED", "A"},   {"CONTACT_TORQUE", "C"},
        {"NETWORK", "10"},
    };
    return modes;
}

int ControlModeIndex(std::string_view value) {
    const auto modes = ControlModes();
    const auto it = std::ranges::find(modes, TrimBlanks(value), &ControlMode::code);
    return it == modes.end() ? -1 : static_cast<int>(it - modes.begin());
}

std::string FourDigits(std::string_view value) {
    std::string text(TrimBlanks(value).substr(0, 4));
    text.insert(0, 4 - text.size(), '0');
    return text;
}

int DigitValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

int ChosenEntry(const BitFieldLayout& layout, std::string_view value, int k) {
    const int digit = DigitValue(FourDigits(value)[k - 1]);
    const int entries = static_cast<int>(layout.ForCharacter(k).entries.size());
    return digit < entries ? digit : -1;
}

std::string ComposeBitFields(const BitFieldLayout& layout, std::string_view oldValue,
                             const std::array<int, 4>& chosen) {
    std::string result = FourDigits(oldValue);
    for (int k = 1; k <= 4; ++k) {
        const int entry = chosen[k - 1];
        if (layout.ForCharacter(k).enabled && entry >= 0 && entry <= 9)
            result[k - 1] = static_cast<char>('0' + entry);
    }
    return result;
}
