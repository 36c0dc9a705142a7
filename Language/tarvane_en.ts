<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>版本：</source>
        <translation>Vsersion：</translation>
    </message>
    <message>
        <source>Tarvane.</source>
        <translation>Tarvane.</translation>
    </message>
    <message>
        <source>官网：</source>
        <translation>Websit：</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>版权所有 © %1 %2</source>
        <translation>Copyright © %1 %2</translation>
    </message>
</context>
<context>
    <name>BitTiming</name>
    <message>
        <source>须为4个字节，实为%1个</source>
        <translation>must be 4 bytes, has %1</translation>
    </message>
    <message>
        <source>字段外的位不为0：%1</source>
        <translation>bits outside the fields set: %1</translation>
    </message>
    <message>
        <source>回环模式（位30）</source>
        <translation>loop-back mode (bit 30)</translation>
    </message>
    <message>
        <source>静默模式（位31），不应答任何帧</source>
        <translation>silent mode (bit 31), acknowledges no frame</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>自适应：由设备检测波特率</source>
        <translation>Adaptive: the device detects the bit rate</translation>
    </message>
    <message>
        <source>%1，采样点 %2，每位 %4 个时间份额，SJW %3</source>
        <translation>%1, sample point %2, SJW %3, %4 quanta per bit</translation>
    </message>
    <message>
        <source>SJW %1 长于时间段</source>
        <translation>SJW %1 is longer than a time segment</translation>
    </message>
    <message>
        <source>8个十六进制数字（数字之间可有空格和逗号，可带0x）</source>
        <translation>8 hex digits, with or without 0x before them and blanks or commas between them</translation>
    </message>
    <message>
        <source>快于CAN的最高速率%1</source>
        <translation>faster than CAN&apos;s fastest, %1</translation>
    </message>
    <message>
        <source>%1（位定时字%2）</source>
        <translation>%1 (bit-timing word %2)</translation>
    </message>
</context>
<context>
    <name>BitTimingDialog</name>
    <message>
        <source>位定时计算</source>
        <translation>Bit Timing Calculator</translation>
    </message>
    <message>
        <source>比特率 (kbit/s)：</source>
        <translation>Bit Rate (kbit/s)：</translation>
    </message>
    <message>
        <source>采样点 (%)：</source>
        <translation>Sample Point (%)：</translation>
    </message>
    <message>
        <source>SJW：</source>
        <translation>SJW：</translation>
    </message>
    <message>
        <source>容差 (%)：</source>
        <translation>Tolerance (%)：</translation>
    </message>
    <message>
        <source>位定时字</source>
        <translation>Word</translation>
    </message>
    <message>
        <source>比特率 (bit/s)</source>
        <translation>Bit Rate (bit/s)</translation>
    </message>
    <message>
        <source>误差</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>采样点</source>
        <translation>Sample Point</translation>
    </message>
    <message>
        <source>时间份额</source>
        <translation>Quanta</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>输入比特率（kbit/s），列出可用的位定时字</source>
        <translation>Enter a bit rate (kbit/s) to list the words that give it</translation>
    </message>
    <message>
        <source>比特率须为大于0的数（kbit/s）</source>
        <translation>The bit rate must be a number above 0 (kbit/s)</translation>
    </message>
    <message>
        <source>采样点须为大于0、小于100的数（%）</source>
        <translation>The sample point must be a number between 0 and 100 (%)</translation>
    </message>
    <message>
        <source>SJW须为1到4的整数</source>
        <translation>SJW must be a whole number from 1 to 4</translation>
    </message>
    <message>
        <source>容差须为0到2之间的数（%）</source>
        <translation>The tolerance must be a number from 0 to 2 (%)</translation>
    </message>
    <message>
        <source>±%1内没有可用的位定时字；最接近的是%2（%3，误差%4）</source>
        <translation>No word within ±%1; the closest is %2 (%3, off by %4)</translation>
    </message>
    <message>
        <source>比特率不能低于%1 kbit/s（控制器能产生的最低速率）</source>
        <translation>The bit rate cannot be below %1 kbit/s (the slowest the controller makes)</translation>
    </message>
    <message>
        <source>比特率不能高于%1 kbit/s（CAN的最高速率）</source>
        <translation>The bit rate cannot be above %1 kbit/s (CAN&apos;s fastest)</translation>
    </message>
    <message>
        <source>总线长度 (m)：</source>
        <translation>Bus Length (m)：</translation>
    </message>
    <message>
        <source>可不填</source>
        <translation>optional</translation>
    </message>
    <message>
        <source>节点延迟 (ns)：</source>
        <translation>Node Delay (ns)：</translation>
    </message>
    <message>
        <source>每个节点从发送到接收的环路延迟：收发器加隔离器</source>
        <translation>Each node&apos;s loop delay from transmitting to receiving: its transceiver and isolator</translation>
    </message>
    <message>
        <source>时钟容差</source>
        <translation>Clock Tolerance</translation>
    </message>
    <message>
        <source>最长总线</source>
        <translation>Longest Bus</translation>
    </message>
    <message>
        <source>总线长度须为不小于0的数（m），或不填</source>
        <translation>The bus length must be a number of 0 or more (m), or left empty</translation>
    </message>
    <message>
        <source>节点延迟须为不小于0的数（ns）</source>
        <translation>The node delay must be a number of 0 or more (ns)</translation>
    </message>
    <message>
        <source>可用的位定时字：%1个，最佳在前；误差和采样点相同时，能覆盖%2总线且时钟容差最大的在前</source>
        <translation>Usable words: %1, best first; of those alike in error and sample point, the one with the largest clock tolerance that covers a bus of %2 comes first</translation>
    </message>
    <message>
        <source>可用的位定时字：%1个，最佳在前；误差和采样点相同时，时钟容差最大的在前</source>
        <translation>Usable words: %1, best first; of those alike in error and sample point, the one with the largest clock tolerance comes first</translation>
    </message>
    <message>
        <source>可用的位定时字：%1个；误差和采样点最佳的字都不能覆盖%2总线，总线最长的在前；采样点越靠后，总线可以越长</source>
        <translation>Usable words: %1; none of those best in error and sample point covers a bus of %2, so the longest bus comes first; a later sample point allows a longer bus</translation>
    </message>
</context>
<context>
    <name>BusLimits</name>
    <message>
        <source>传播段短于两倍节点延迟</source>
        <translation>propagation segment shorter than twice the node delay</translation>
    </message>
    <message>
        <source>总线最长 %1</source>
        <translation>bus ≤ %1</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>节点延迟 %1 ns，电缆 %2 ns/m</source>
        <translation>node delay %1 ns, cable %2 ns/m</translation>
    </message>
    <message>
        <source>受SJW限制</source>
        <translation>limited by the SJW</translation>
    </message>
    <message>
        <source>受相位段限制</source>
        <translation>limited by the phase segments</translation>
    </message>
    <message>
        <source>CANopen和J1939在此速率建议采样点 87.5 %</source>
        <translation>CANopen and J1939 recommend a sample point of 87.5 % at this rate</translation>
    </message>
    <message>
        <source>CANopen在此速率建议采样点 87.5 %</source>
        <translation>CANopen recommends a sample point of 87.5 % at this rate</translation>
    </message>
    <message>
        <source>SJW %1 也合适，时钟容差可达 %2</source>
        <translation>SJW %1 would fit and allow a clock tolerance of %2</translation>
    </message>
    <message>
        <source>%1，采样点 %2，时钟容差 %3，%4，每位 %5 个时间份额，SJW %6</source>
        <translation>%1, sample point %2, clock %3, %4, SJW %6, %5 quanta per bit</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>CANParamWidget</name>
    <message>
        <source>通道</source>
        <translation>Channal</translation>
    </message>
    <message>
        <source>CANParamWidget</source>
        <translation>CANParamWidget</translation>
    </message>
</context>
<context>
    <name>CanCodec</name>
    <message>
        <source>自适应</source>
        <translation>Adaptive</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
</context>
<context>
    <name>ChannalWidget</name>
    <message>
        <source>波特率：</source>
        <translation>Baud Rate：</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>Work Mode</translation>
    </message>
    <message>
        <source>位数</source>
        <translation>Bit</translation>
    </message>
    <message>
        <source>ID寄存器</source>
        <translation>ID Register</translation>
    </message>
    <message>
        <source>掩码寄存器</source>
        <translation>Mask Register</translation>
    </message>
    <message>
        <source>掩码模式</source>
        <translation>Mask Mode</translation>
    </message>
    <message>
        <source>列表模式</source>
        <translation>List Mode</translation>
    </message>
    <message>
        <source>位定时计算器：按比特率找出位定时字</source>
        <translation>Bit-timing calculator: finds the words for a bit rate</translation>
    </message>
    <message>
        <source>过滤器组%1：%2</source>
        <translation>Bank %1: %2</translation>
    </message>
    <message>
        <source>过滤器规划：按标识符和范围填写过滤器组</source>
        <translation>Filter planner: fills the banks from identifiers and ranges</translation>
    </message>
    <message>
        <source>总线长度按%1计算</source>
        <translation>Bus length with %1</translation>
    </message>
    <message>
        <source>ChannalWidget</source>
        <translation>ChannalWidget</translation>
    </message>
</context>
<context>
    <name>CompareDialog</name>
    <message>
        <source>与设备比较</source>
        <translation>Compare with device</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>过滤器组</source>
        <translation>Filter bank</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>页面上的值</source>
        <translation>On the pages</translation>
    </message>
    <message>
        <source>设备中的值</source>
        <translation>In the device</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>页面与设备中的参数相同。</source>
        <translation>The pages and the device hold the same parameters.</translation>
    </message>
    <message numerus="yes">
        <source>页面与设备有%n处不同：</source>
        <translation>
            <numerusform>The pages and the device differ in %n field:</numerusform>
            <numerusform>The pages and the device differ in %n fields:</numerusform>
        </translation>
    </message>
    <message>
        <source>已勾选</source>
        <translation>ticked</translation>
    </message>
    <message>
        <source>未勾选</source>
        <translation>not ticked</translation>
    </message>
    <message>
        <source>开</source>
        <translation>on</translation>
    </message>
    <message>
        <source>关</source>
        <translation>off</translation>
    </message>
    <message>
        <source>未选择</source>
        <translation>none chosen</translation>
    </message>
</context>
<context>
    <name>DevInfoWidget</name>
    <message>
        <source>设备信息</source>
        <translation>Device Info</translation>
    </message>
    <message>
        <source>硬件类型：</source>
        <translation>Hardware Type：</translation>
    </message>
    <message>
        <source>硬件版本：</source>
        <translation>Hardware Ver：</translation>
    </message>
    <message>
        <source>固件版本：</source>
        <translation>Firmware Ver：</translation>
    </message>
    <message>
        <source>板卡序号：</source>
        <translation>Card Number：</translation>
    </message>
    <message>
        <source>DevInfoWidget</source>
        <translation>DevInfoWidget</translation>
    </message>
</context>
<context>
    <name>DeviceRead</name>
    <message>
        <source>读取成功</source>
        <translation>Read successfully</translation>
    </message>
    <message>
        <source>读取CAN波特率失败</source>
        <translation>Failed to read CAN baud rate</translation>
    </message>
    <message>
        <source>读取掩码数据失败</source>
        <translation>Read mask data failed</translation>
    </message>
    <message>
        <source>读取光纤数据失败</source>
        <translation>Read fiber data failed</translation>
    </message>
    <message>
        <source>读取路由数据失败</source>
        <translation>Read route data failed</translation>
    </message>
</context>
<context>
    <name>DeviceWrite</name>
    <message>
        <source>设置成功</source>
        <translation>successfully set</translation>
    </message>
    <message>
        <source>设置CAN波特率失败</source>
        <translation>Failed to set CAN baud rate</translation>
    </message>
    <message>
        <source>设置CAN掩码失败</source>
        <translation>Failed to set CAN musk code</translation>
    </message>
    <message>
        <source>设置光纤波特率失败</source>
        <translation>Failed to set fiber baud rate</translation>
    </message>
    <message>
        <source>设置路由失败</source>
        <translation>Failed to set route</translation>
    </message>
    <message>
        <source>发送复位指令失败.</source>
        <translation>Failed to send the reset command.</translation>
    </message>
    <message>
        <source>参数已设置，复位无应答.</source>
        <translation>Parameters set; no answer to the reset.</translation>
    </message>
    <message>
        <source>复位失败.</source>
        <translation>Reset failed.</translation>
    </message>
</context>
<context>
    <name>FilterBanks</name>
    <message>
        <source>扩展</source>
        <translation>extended</translation>
    </message>
    <message>
        <source>标准</source>
        <translation>standard</translation>
    </message>
    <message>
        <source>数据帧</source>
        <translation>data frames</translation>
    </message>
    <message>
        <source>远程帧</source>
        <translation>remote frames</translation>
    </message>
    <message>
        <source>数据帧和远程帧</source>
        <translation>data and remote frames</translation>
    </message>
    <message>
        <source>%1%2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>所有帧</source>
        <translation>every frame</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>标识符共%1个</source>
        <translation>%1 identifiers in all</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>%1/%2（%3个）</source>
        <translation>%1/%2 (%3 identifiers)</translation>
    </message>
    <message>
        <source>过滤器%1：</source>
        <translation>filter %1: </translation>
    </message>
    <message>
        <source>ID寄存器：%1</source>
        <translation>ID register: %1</translation>
    </message>
    <message>
        <source>掩码寄存器：%1</source>
        <translation>mask register: %1</translation>
    </message>
    <message>
        <source>永不匹配：IDE位为0（标准帧），却要求扩展标识符位%1为1</source>
        <translation>never matches: IDE is 0 (standard frame), yet extended identifier bits %1 must be 1</translation>
    </message>
    <message>
        <source>只匹配标准帧，11位标识符之外的位%1却为1（不比较）</source>
        <translation>matches standard frames only, yet bits %1 beyond the 11-bit identifier are set (not compared)</translation>
    </message>
    <message>
        <source>在使用，但没有帧能通过</source>
        <translation>in use, but no frame can pass</translation>
    </message>
    <message numerus="yes">
        <source>与过滤器组%1有%n个相同的标识符</source>
        <translation>
            <numerusform>shares %n identifier with bank %1</numerusform>
            <numerusform>shares %n identifiers with bank %1</numerusform>
        </translation>
    </message>
    <message>
        <source>未使用</source>
        <translation>not in use</translation>
    </message>
    <message>
        <source>没有标识符或范围</source>
        <translation>no identifier or range</translation>
    </message>
    <message>
        <source>“%1”不是十六进制的标识符或范围</source>
        <translation>&quot;%1&quot; is not a hex identifier or range</translation>
    </message>
    <message>
        <source>不认识“%1”（可用 ext、std、data、remote、both）</source>
        <translation>unknown word &quot;%1&quot; (ext, std, data, remote or both)</translation>
    </message>
    <message>
        <source>一项只能有一个标识符或范围，“%1”多余</source>
        <translation>one identifier or range per item: &quot;%1&quot; is one too many</translation>
    </message>
    <message>
        <source>ext 与 std 不能同时给出</source>
        <translation>ext and std cannot both be given</translation>
    </message>
    <message>
        <source>范围的起点大于终点</source>
        <translation>the range starts above its end</translation>
    </message>
    <message>
        <source>%1超出扩展标识符（最大0x1FFFFFFF）</source>
        <translation>%1 is beyond an extended identifier (0x1FFFFFFF at most)</translation>
    </message>
    <message>
        <source>%1超出标准标识符（最大0x7FF）；扩展帧请加 ext</source>
        <translation>%1 is beyond a standard identifier (0x7FF at most); add ext for an extended one</translation>
    </message>
    <message>
        <source>第%1行“%2”：%3</source>
        <translation>line %1, &quot;%2&quot;: %3</translation>
    </message>
    <message>
        <source>“%1”：%2</source>
        <translation>&quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>过滤器组%1</source>
        <translation>bank %1</translation>
    </message>
    <message>
        <source>过滤器组%1–%2</source>
        <translation>banks %1–%2</translation>
    </message>
    <message>
        <source>没有要求任何标识符</source>
        <translation>no identifier asked for</translation>
    </message>
    <message>
        <source>从过滤器组%1起没有过滤器组可用</source>
        <translation>no bank is left from bank %1 on</translation>
    </message>
    <message numerus="yes">
        <source>%1，从过滤器组%2起只有%n个</source>
        <translation>
            <numerusform>%1; from bank %2 on there is %n</numerusform>
            <numerusform>%1; from bank %2 on there are %n</numerusform>
        </translation>
    </message>
    <message>
        <source>计划未通过解码核对，没有填入</source>
        <translation>the plan failed the check against its decoding and was not filled in</translation>
    </message>
    <message>
        <source>%1，只通过所要求的标识符</source>
        <translation>%1, passing only the identifiers asked for</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message numerus="yes">
        <source>另有%n个标识符的数据帧通过</source>
        <translation>
            <numerusform>data frames of %n more identifier pass</numerusform>
            <numerusform>data frames of %n more identifiers pass</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>另有%n个标识符的远程帧通过</source>
        <translation>
            <numerusform>remote frames of %n more identifier pass</numerusform>
            <numerusform>remote frames of %n more identifiers pass</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1”不是数；以字母开头的十六进制数请写成0x%1</source>
        <translation>&quot;%1&quot; is not a number; write a hex number that begins with a letter as 0x%1</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source>这个计划用%n个过滤器组</source>
        <translation>
            <numerusform>this plan uses %n bank</numerusform>
            <numerusform>this plan uses %n banks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>未证明没有更少的（至少需要%n个）</source>
        <translation>
            <numerusform>not proven to be the fewest (at least %n is needed)</numerusform>
            <numerusform>not proven to be the fewest (at least %n are needed)</numerusform>
        </translation>
    </message>
    <message>
        <source>这些过滤器组中没有让更少其他帧通过的计划</source>
        <translation>no plan in these banks lets fewer other frames through</translation>
    </message>
    <message>
        <source>这是找到的最少，未证明没有更少的</source>
        <translation>the fewest found, not proven to be the fewest</translation>
    </message>
    <message numerus="yes">
        <source>只让所要求的标识符通过需要%n个过滤器组</source>
        <translation>
            <numerusform>letting only the identifiers asked for through takes %n bank</numerusform>
            <numerusform>letting only the identifiers asked for through takes %n banks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>只让所要求的标识符通过至少需要%n个过滤器组</source>
        <translation>
            <numerusform>letting only the identifiers asked for through takes at least %n bank</numerusform>
            <numerusform>letting only the identifiers asked for through takes at least %n banks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>找到的只让所要求的标识符通过的计划用%n个过滤器组</source>
        <translation>
            <numerusform>the plan found that lets only the identifiers asked for through takes %n bank</numerusform>
            <numerusform>the plan found that lets only the identifiers asked for through takes %n banks</numerusform>
        </translation>
    </message>
    <message>
        <source>永不匹配：保留位0为1，而收到的帧此位总为0</source>
        <translation>never matches: the reserved bit 0 is 1, and it is 0 in every frame received</translation>
    </message>
</context>
<context>
    <name>FilterPlannerDialog</name>
    <message>
        <source>过滤器规划</source>
        <translation>Filter Planner</translation>
    </message>
    <message>
        <source>要通过的标识符和范围，每行一个；数都按十六进制读（256即0x256）：</source>
        <translation>Identifiers and ranges to let through, one per line; numbers are read as hexadecimal (256 is 0x256):</translation>
    </message>
    <message>
        <source>未注明时的格式：</source>
        <translation>Format where none is given:</translation>
    </message>
    <message>
        <source>标准帧（std）</source>
        <translation>Standard (std)</translation>
    </message>
    <message>
        <source>扩展帧（ext）</source>
        <translation>Extended (ext)</translation>
    </message>
    <message>
        <source>未注明时的帧类型：</source>
        <translation>Frame type where none is given:</translation>
    </message>
    <message>
        <source>数据帧（data）</source>
        <translation>Data frames (data)</translation>
    </message>
    <message>
        <source>远程帧（remote）</source>
        <translation>Remote frames (remote)</translation>
    </message>
    <message>
        <source>数据帧和远程帧（both）</source>
        <translation>Data and remote frames (both)</translation>
    </message>
    <message>
        <source>从过滤器组：</source>
        <translation>From bank:</translation>
    </message>
    <message>
        <source>清除计划之后的过滤器组</source>
        <translation>Clear the banks after the plan</translation>
    </message>
    <message>
        <source>过滤器组</source>
        <translation>Bank</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>Work Mode</translation>
    </message>
    <message>
        <source>位数</source>
        <translation>Bit</translation>
    </message>
    <message>
        <source>ID寄存器</source>
        <translation>ID Register</translation>
    </message>
    <message>
        <source>掩码寄存器</source>
        <translation>Mask Register</translation>
    </message>
    <message>
        <source>通过的帧</source>
        <translation>Frames passing</translation>
    </message>
    <message>
        <source>填入</source>
        <translation>Fill In</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>每行一个标识符或范围，数按十六进制读（0x可省略，以字母开头的数要写0x）；可加 std 或 ext、data、remote 或 both</source>
        <translation>One identifier or range per line, numbers in hexadecimal (0x may be left out, except before a number that begins with a letter); with std or ext and data, remote or both where needed</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source>%n处错误：</source>
        <translation>
            <numerusform>%n mistake:</numerusform>
            <numerusform>%n mistakes:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>过滤器组%1仍在使用，让所有帧通过：计划之外的帧也会通过</source>
        <translation>
            <numerusform>Bank %1 stays in use and lets every frame through: frames outside the plan pass too</numerusform>
            <numerusform>Banks %1 stay in use and let every frame through: frames outside the plan pass too</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>OpticalFiberParamWidget</name>
    <message>
        <source>OpticalFiberParamWidget</source>
        <translation>OpticalFiberParamWidget</translation>
    </message>
    <message>
        <source>光纤</source>
        <translation>Fiber</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Baud Rate：</translation>
    </message>
    <message>
        <source>【注意】：如需修改,请确保与对接光纤通道的波特率保持一致.</source>
        <translation>【Note】：If modifications are required, ensure that the baud rate of the butted fiber channel remains the same.</translation>
    </message>
</context>
<context>
    <name>ParameterChecks</name>
    <message>
        <source>以下参数有误，未向设备发送任何数据：</source>
        <translation>These parameters are invalid; nothing was sent to the device:</translation>
    </message>
    <message>
        <source>CAN通道%1 波特率：%2</source>
        <translation>CAN channel %1 baud rate: %2</translation>
    </message>
    <message>
        <source>CAN通道%1 波特率：位定时须为4个字节</source>
        <translation>CAN channel %1 baud rate: the bit timing must be 4 bytes</translation>
    </message>
    <message>
        <source>CAN通道%1 第%2行 ID寄存器：%3</source>
        <translation>CAN channel %1 row %2 ID register: %3</translation>
    </message>
    <message>
        <source>CAN通道%1 第%2行 掩码寄存器：%3</source>
        <translation>CAN channel %1 row %2 mask register: %3</translation>
    </message>
    <message>
        <source>光纤%1 波特率：未选择</source>
        <translation>Fiber %1 baud rate: none selected</translation>
    </message>
    <message>
        <source>CAN通道%1：%2</source>
        <translation>CAN channel %1: %2</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>以下CAN通道的位定时字处于测试模式，通道不能在总线上正常收发：</source>
        <translation>The bit-timing word of these CAN channels is in a test mode; the channel cannot take part in the bus:</translation>
    </message>
    <message>
        <source>仍要写入设备吗？</source>
        <translation>Write to the device all the same?</translation>
    </message>
    <message>
        <source>……另有%1处</source>
        <translation>... and %1 more</translation>
    </message>
    <message>
        <source>以下参数还不能写入设备：</source>
        <translation>These values cannot be written to a device yet:</translation>
    </message>
    <message>
        <source>CAN通道%1 第%2行：%3</source>
        <translation>CAN channel %1 row %2: %3</translation>
    </message>
</context>
<context>
    <name>ParameterDiff</name>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>In use</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>Work mode</translation>
    </message>
    <message>
        <source>位数</source>
        <translation>Bit width</translation>
    </message>
    <message>
        <source>ID寄存器</source>
        <translation>ID register</translation>
    </message>
    <message>
        <source>掩码寄存器</source>
        <translation>Mask register</translation>
    </message>
    <message>
        <source>光纤%1</source>
        <translation>Fiber%1</translation>
    </message>
    <message>
        <source>路由→%1</source>
        <translation>Route to %1</translation>
    </message>
    <message>
        <source>开/关</source>
        <translation>ON/OFF</translation>
    </message>
</context>
<context>
    <name>ParameterDocument</name>
    <message>
        <source>缺少</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>须为数组</source>
        <translation>must be an array</translation>
    </message>
    <message>
        <source>须为对象</source>
        <translation>must be an object</translation>
    </message>
    <message>
        <source>须为字符串</source>
        <translation>must be a string</translation>
    </message>
    <message>
        <source>须为整数</source>
        <translation>must be a whole number</translation>
    </message>
    <message>
        <source>须有5个以逗号分隔的字段，实有%1个</source>
        <translation>must have 5 fields separated by commas, has %1</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>in use</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>work mode</translation>
    </message>
    <message>
        <source>位数</source>
        <translation>bit width</translation>
    </message>
    <message>
        <source>%1须为0或1，实为“%2”</source>
        <translation>%1 must be 0 or 1, is &quot;%2&quot;</translation>
    </message>
    <message>
        <source>ID寄存器：%1</source>
        <translation>ID register: %1</translation>
    </message>
    <message>
        <source>掩码寄存器：%1</source>
        <translation>mask register: %1</translation>
    </message>
    <message>
        <source>%1：设备没有CAN通道%2，已忽略</source>
        <translation>%1: the device has no CAN channel %2; left out</translation>
    </message>
    <message>
        <source>与%1[%2]相同</source>
        <translation>the same as in %1[%2]</translation>
    </message>
    <message>
        <source>没有“ChannalID”为%1的元素</source>
        <translation>no element with &quot;ChannalID&quot; %1</translation>
    </message>
    <message>
        <source>须有%1项，实有%2项</source>
        <translation>must have %1 entries, has %2</translation>
    </message>
    <message>
        <source>%1：设备没有光纤%2，已忽略</source>
        <translation>%1: the device has no fiber channel %2; left out</translation>
    </message>
    <message>
        <source>光纤%1</source>
        <translation>Fiber%1</translation>
    </message>
    <message>
        <source>须为01到0c的十六进制代码</source>
        <translation>must be a hex code from 01 to 0c</translation>
    </message>
    <message>
        <source>没有光纤%1的代码</source>
        <translation>no code for fiber channel %1</translation>
    </message>
    <message>
        <source>顶层须为对象</source>
        <translation>the top level must be an object</translation>
    </message>
    <message>
        <source>缺少“%1”</source>
        <translation>&quot;%1&quot; is missing</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>须为6个0或1，以空格分隔</source>
        <translation>must be 6 digits 0 or 1, separated by blanks</translation>
    </message>
    <message>
        <source>键出现了不止一次（第%1行和第%2行）</source>
        <translation>the key appears more than once (lines %1 and %2)</translation>
    </message>
    <message>
        <source>%1：%2到自身的路由为1，已忽略</source>
        <translation>%1: the route from %2 to itself is 1; left out</translation>
    </message>
</context>
<context>
    <name>ParameterFile</name>
    <message>
        <source>没有权限</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>只读的磁盘或文件夹</source>
        <translation>read-only disk or folder</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>not enough space on the disk</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>第%1行第%2列</source>
        <translation>line %1, column %2</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>文件是UTF-16编码，须为UTF-8</source>
        <translation>the file is in UTF-16; it must be UTF-8</translation>
    </message>
    <message>
        <source>写配置文件失败.</source>
        <translation>Failed to write the parameter file. </translation>
    </message>
    <message>
        <source>打开配置文件失败.</source>
        <translation>Failed to open the parameter file. </translation>
    </message>
    <message>
        <source>解析配置文件失败.</source>
        <translation>Failed to read the parameter file. </translation>
    </message>
    <message>
        <source>文件大于1 MiB.</source>
        <translation>the file is larger than 1 MiB.</translation>
    </message>
    <message>
        <source>文件是UTF-32编码，须为UTF-8</source>
        <translation>the file is in UTF-32; it must be UTF-8</translation>
    </message>
</context>
<context>
    <name>ProtocolTrace</name>
    <message>
        <source>打开 %1</source>
        <translation>open %1</translation>
    </message>
    <message>
        <source>无法打开 %1</source>
        <translation>cannot open %1</translation>
    </message>
    <message>
        <source>（写入失败）</source>
        <translation>(not written)</translation>
    </message>
    <message>
        <source>（只写出%1个字节）</source>
        <translation>(only %1 bytes written)</translation>
    </message>
    <message>
        <source>（此前未取走的回复，已丢弃）</source>
        <translation>(left over from before, discarded)</translation>
    </message>
    <message>
        <source>超时：%1 ms内没有回复</source>
        <translation>time-out: no reply within %1 ms</translation>
    </message>
    <message>
        <source>读取失败</source>
        <translation>read failed</translation>
    </message>
    <message>
        <source>查询硬件版本</source>
        <translation>hardware version query</translation>
    </message>
    <message>
        <source>复位</source>
        <translation>reset</translation>
    </message>
    <message>
        <source>查询固件版本</source>
        <translation>firmware version query</translation>
    </message>
    <message>
        <source>查询卡号</source>
        <translation>card number query</translation>
    </message>
    <message>
        <source>查询硬件类型</source>
        <translation>hardware type query</translation>
    </message>
    <message>
        <source>设置CAN波特率</source>
        <translation>set CAN baud rate</translation>
    </message>
    <message>
        <source>设置CAN过滤器</source>
        <translation>set CAN filter</translation>
    </message>
    <message>
        <source>设置光纤波特率</source>
        <translation>set fiber baud rates</translation>
    </message>
    <message>
        <source>查询光纤波特率</source>
        <translation>fiber baud rate query</translation>
    </message>
    <message>
        <source>设置路由</source>
        <translation>set route map</translation>
    </message>
    <message>
        <source>查询路由</source>
        <translation>route map query</translation>
    </message>
    <message>
        <source>查询CAN波特率</source>
        <translation>CAN baud rate query</translation>
    </message>
    <message>
        <source>查询CAN过滤器</source>
        <translation>CAN filter query</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>已接受</source>
        <translation>accepted</translation>
    </message>
    <message>
        <source>未接受（状态%1）</source>
        <translation>refused (status %1)</translation>
    </message>
    <message>
        <source>版本%1</source>
        <translation>version %1</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>&quot;%1&quot;</translation>
    </message>
    <message>
        <source>类型%1，%2</source>
        <translation>type %1, %2</translation>
    </message>
    <message>
        <source>类型%1，未知型号</source>
        <translation>type %1, unknown model</translation>
    </message>
    <message>
        <source>位定时字%1（%2）</source>
        <translation>bit-timing word %1 (%2)</translation>
    </message>
    <message>
        <source>第%1组%2，%3，%4</source>
        <translation>bank %1 %2, %3, %4</translation>
    </message>
    <message>
        <source>没有第%1组</source>
        <translation>no bank %1</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>in use</translation>
    </message>
    <message>
        <source>未使用</source>
        <translation>not in use</translation>
    </message>
    <message>
        <source>掩码模式</source>
        <translation>mask mode</translation>
    </message>
    <message>
        <source>列表模式</source>
        <translation>list mode</translation>
    </message>
    <message>
        <source>16位</source>
        <translation>16 bits</translation>
    </message>
    <message>
        <source>32位</source>
        <translation>32 bits</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>RouteParamWidget</name>
    <message>
        <source>RouteParamWidget</source>
        <translation>RouteParamWdiget</translation>
    </message>
    <message>
        <source>开/关</source>
        <translation>ON/OFF</translation>
    </message>
    <message>
        <source>① 开/关：√表示该通道打开，╳表示该通道关闭.</source>
        <translation>① ON/OFF：√channel is opening，╳channal is closed.</translation>
    </message>
    <message>
        <source>② 路由：√表示该通道路由使能，╳表示该通道路由禁止.</source>
        <translation>② Route ：√channal is enable，╳Channel is disabled.</translation>
    </message>
</context>
<context>
    <name>RouteRules</name>
    <message>
        <source>光纤1</source>
        <translation>Fiber1</translation>
    </message>
    <message>
        <source>光纤2</source>
        <translation>Fiber2</translation>
    </message>
    <message>
        <source>光纤3</source>
        <translation>Fiber3</translation>
    </message>
    <message>
        <source>光纤4</source>
        <translation>Fiber4</translation>
    </message>
</context>
<context>
    <name>Tarvane</name>
    <message>
        <source>Tarvane</source>
        <translation>Tarvane</translation>
    </message>
    <message>
        <source>正在搜索设备,请稍等</source>
        <translation>Searching equipment,Wait for a moment</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>Device Info</translation>
    </message>
    <message>
        <source>CAN参数</source>
        <translation>CAN Param</translation>
    </message>
    <message>
        <source>光纤参数</source>
        <translation>Fiber Param</translation>
    </message>
    <message>
        <source>路由参数</source>
        <translation>Route Param</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Hint</translation>
    </message>
    <message>
        <source>搜索设备失败</source>
        <translation>Search device failed</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Equipment not connected</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save Config</translation>
    </message>
    <message>
        <source>打开配置</source>
        <translation>Open config</translation>
    </message>
    <message>
        <source>TXT 文本文件(*.txt)</source>
        <translation>TXT File(*.txt)</translation>
    </message>
    <message>
        <source>保存完成</source>
        <translation>Save successfully</translation>
    </message>
    <message>
        <source>读取完成</source>
        <translation>Read  successfully</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>与设备比较</source>
        <translation>Compare with device</translation>
    </message>
    <message>
        <source>选择设备</source>
        <translation>Choose device</translation>
    </message>
    <message>
        <source>参数文件中没有这台设备的参数</source>
        <translation>The parameter file holds no parameters for this device</translation>
    </message>
    <message>
        <source>连接的设备已更换，请重试</source>
        <translation>The connected device has changed; please try again</translation>
    </message>
    <message>
        <source>页面上的修改尚未写入设备或保存。</source>
        <translation>The changes on the pages have been neither written to the device nor saved.</translation>
    </message>
    <message>
        <source>关闭窗口将丢失这些修改。</source>
        <translation>Closing the window loses them.</translation>
    </message>
    <message>
        <source>仍然关闭</source>
        <translation>Close anyway</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Go back</translation>
    </message>
    <message>
        <source>恢复默认值将丢失这些修改。</source>
        <translation>Restoring the defaults loses them.</translation>
    </message>
    <message>
        <source>恢复默认值</source>
        <translation>Restore defaults</translation>
    </message>
    <message>
        <source>读配置将以设备中的参数替换这些修改。</source>
        <translation>Reading the configuration replaces them with the device&apos;s parameters.</translation>
    </message>
    <message>
        <source>仍然读取</source>
        <translation>Read anyway</translation>
    </message>
    <message>
        <source>打开参数文件将以文件中的参数替换这些修改。</source>
        <translation>Opening a parameter file replaces them with the file&apos;s parameters.</translation>
    </message>
    <message>
        <source>仍然打开</source>
        <translation>Open anyway</translation>
    </message>
    <message>
        <source>页面上的参数不是从%1读取的：选择这台设备后尚未读配置。</source>
        <translation>The parameters on the pages were not read from %1: it has not been read since it was chosen.</translation>
    </message>
    <message>
        <source>CAN通道%1 第%2行（%3）：%4</source>
        <translation>CAN channel %1 row %2 (%3): %4</translation>
    </message>
    <message>
        <source>%1没有%2，文件中这些通道的参数未使用。</source>
        <translation>%1 has no %2: the file&apos;s values for these channels are not used.</translation>
    </message>
    <message>
        <source>以下值无法使用，页面保留原值：</source>
        <translation>These values could not be used; the pages keep what they showed:</translation>
    </message>
    <message>
        <source>离线编辑</source>
        <translation>Edit offline</translation>
    </message>
    <message>
        <source>离线：%1</source>
        <translation>Offline: %1</translation>
    </message>
    <message>
        <source>没有设备时，可在主菜单的“离线编辑”中选择型号。</source>
        <translation>Without a device, choose a model under “Edit offline” in the main menu.</translation>
    </message>
    <message>
        <source>页面上的修改尚未写入设备或保存。是否把它们带到%1？</source>
        <translation>The changes on the pages have been neither written to the device nor saved. Take them over to %1?</translation>
    </message>
    <message>
        <source>%1没有%2，保留时舍去这些通道的值。</source>
        <translation>%1 has no %2: keeping the changes drops the values of these channels.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>不保留则页面显示%1的默认值。</source>
        <translation>Discarding them shows the defaults of %1.</translation>
    </message>
    <message>
        <source>保留修改</source>
        <translation>Keep changes</translation>
    </message>
    <message>
        <source>不保留</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>已连接设备%1。离线编辑的修改尚未保存，是否把它们带到这台设备的页面上？</source>
        <translation>Device %1 connected. The changes made offline have not been saved: take them over to this device&apos;s pages?</translation>
    </message>
    <message>
        <source>没有型号与之相符，可任选一个型号离线编辑：</source>
        <translation>No model has these channels; choose any model to edit offline:</translation>
    </message>
    <message>
        <source>请选择离线编辑的型号：</source>
        <translation>Choose the model to edit offline:</translation>
    </message>
    <message>
        <source>请注意文件中的以下几处：</source>
        <translation>Note these places in the file:</translation>
    </message>
    <message>
        <source>CANParam[%1]的“ChannalID”为%2，但按位置用于CAN通道%3（命令行用于CAN通道%2）</source>
        <translation>CANParam[%1] has &quot;ChannalID&quot; %2 but is used for CAN channel %3, by its place (the command line uses it for CAN channel %2)</translation>
    </message>
    <message>
        <source>参数文件中CAN通道的参数：%1组；光纤通道的参数：%2组。</source>
        <translation>CAN channels in the parameter file: %1; fiber channels: %2.</translation>
    </message>
</context>
<context>
    <name>TarvaneClass</name>
    <message>
        <source>Tarvane</source>
        <translation>Tarvane</translation>
    </message>
    <message>
        <source>设备名称：</source>
        <translation>Devic Name：</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>写配置</source>
        <translation>Write config</translation>
    </message>
    <message>
        <source>读配置</source>
        <translation>Read config</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>正在搜索设备,请稍等</source>
        <translation>Searching equipment,Wait for a moment</translation>
    </message>
    <message>
        <source>默认值</source>
        <translation>Default</translation>
    </message>
</context>
<context>
    <name>TarvaneCli</name>
    <message>
        <source>缺少命令</source>
        <translation>No command given</translation>
    </message>
    <message>
        <source>未知命令：%1</source>
        <translation>Unknown command: %1</translation>
    </message>
    <message>
        <source>未知选项：%1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>选项%1缺少值</source>
        <translation>Option %1 needs a value</translation>
    </message>
    <message>
        <source>缺少参数文件</source>
        <translation>No parameter file given</translation>
    </message>
    <message>
        <source>缺少 -o 文件</source>
        <translation>No output file given (-o FILE)</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>未知语言：%1（可用 en、zh）</source>
        <translation>Unknown language: %1 (en or zh)</translation>
    </message>
    <message>
        <source>用 --help 查看用法。</source>
        <translation>Run with --help for usage.</translation>
    </message>
    <message>
        <source>无法打开设备</source>
        <translation>Cannot open the device</translation>
    </message>
    <message>
        <source>无法打开设备：%1</source>
        <translation>Cannot open the device: %1</translation>
    </message>
    <message>
        <source>没有这台设备：%1</source>
        <translation>No such device: %1</translation>
    </message>
    <message>
        <source>连接的设备：</source>
        <translation>Connected devices:</translation>
    </message>
    <message>
        <source>连接了多台设备，请用 --device 以路径或卡号指定其中一台：</source>
        <translation>More than one device is connected; choose one with --device PATH|CARD:</translation>
    </message>
    <message>
        <source>有多台设备的卡号是%1，请用 --device 以路径指定其中一台：</source>
        <translation>More than one device has the card number %1; choose one with --device PATH:</translation>
    </message>
    <message>
        <source>读取：第%1步，共%2步</source>
        <translation>Reading: step %1 of %2</translation>
    </message>
    <message>
        <source>写入：第%1步，共%2步</source>
        <translation>Writing: step %1 of %2</translation>
    </message>
    <message>
        <source>注意：%1</source>
        <translation>Note: %1</translation>
    </message>
    <message>
        <source>选项%1的值不能为空</source>
        <translation>Option %1 needs a value that is not empty</translation>
    </message>
    <message>
        <source>选项%1缺少值：“%2”是一个选项；若确是此值，请写成 %1=%2</source>
        <translation>Option %1 needs a value: &quot;%2&quot; is an option; if that is the value, write %1=%2</translation>
    </message>
    <message>
        <source>选项%1的值无效：%2</source>
        <translation>Invalid value for option %1: %2</translation>
    </message>
    <message>
        <source>选项%1只能与%2一起使用</source>
        <translation>Option %1 works only with %2</translation>
    </message>
    <message>
        <source>选项%1不能与%2一起使用</source>
        <translation>Option %1 cannot be used with %2</translation>
    </message>
    <message>
        <source>无法写到标准输出：%1</source>
        <translation>Cannot write to standard output: %1</translation>
    </message>
    <message>
        <source>备份已保存：%1</source>
        <translation>Backup saved: %1</translation>
    </message>
    <message>
        <source>有多台设备的卡号是%1，无法校验</source>
        <translation>More than one device has the card number %1; nothing to verify against</translation>
    </message>
    <message>
        <source>校验无误：设备保存的参数与写入的相同</source>
        <translation>Verified: the device holds what was written</translation>
    </message>
    <message>
        <source>已写入，但设备保存的参数与写入的不同</source>
        <translation>Written, but the device holds something else</translation>
    </message>
    <message>
        <source>标准输出</source>
        <translation>standard output</translation>
    </message>
    <message>
        <source>用法：%1</source>
        <translation>Usage: %1</translation>
    </message>
    <message>
        <source>命令 [选项]</source>
        <translation>COMMAND [OPTIONS]</translation>
    </message>
    <message>
        <source>用户命令</source>
        <translation>User Commands</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>概要</source>
        <translation>SYNOPSIS</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>DESCRIPTION</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>COMMANDS</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>OPTIONS</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>NOTES</translation>
    </message>
    <message>
        <source>另见</source>
        <translation>SEE ALSO</translation>
    </message>
    <message>
        <source>列出、读取、写入和比较CAN总线中继器</source>
        <translation>list, read, write and compare CAN-bus repeaters</translation>
    </message>
    <message>
        <source>tarvane-cli 做 Tarvane 窗口的按钮所做的事，每步一个命令，用于在工作台上设置或检查多台中继器：它发送与窗口相同的帧，读写与窗口相同的参数文件。结果写到标准输出，信息写到标准错误。</source>
        <translation>tarvane-cli does what the buttons of the Tarvane window do, one command per step, for setting up or checking many repeaters on a bench: it sends the window&apos;s frames and reads and writes the window&apos;s parameter files. Results go to standard output, messages to standard error.</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>选项：</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>路径|卡号</source>
        <translation>PATH|CARD</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>SECONDS</translation>
    </message>
    <message>
        <source>列出连接的每台中继器</source>
        <translation>list every connected repeater</translation>
    </message>
    <message>
        <source>读取设备参数，存为参数文件</source>
        <translation>read the device into a parameter file</translation>
    </message>
    <message>
        <source>把参数文件写入设备并复位</source>
        <translation>write a parameter file to the device and reset it</translation>
    </message>
    <message>
        <source>列出设备与参数文件不同的参数</source>
        <translation>list where the device differs from a parameter file</translation>
    </message>
    <message>
        <source>列出连接的每台中继器（USB %1），每台一行，以制表符分隔：路径、型号、卡号、硬件版本、固件版本、CAN通道数、光纤通道数。
无应答的设备只列出路径和错误，退出状态为4；没有连接设备时退出状态为3。</source>
        <translation>Lists every connected repeater (USB %1), one line each, separated by tabs: path, model, card number, hardware version, firmware version, CAN channels, fiber channels.
A device that does not answer is listed with its path and the error, and the exit status is 4; with none connected it is 3.</translation>
    </message>
    <message>
        <source>像窗口的“读配置”一样读取设备参数，存为与窗口“保存”相同的参数文件。</source>
        <translation>Reads the device&apos;s parameters as the window&apos;s &quot;Read config&quot; does and saves them as the same parameter file as the window&apos;s &quot;Save&quot;.</translation>
    </message>
    <message>
        <source>信息的语言：英文（en，默认）或中文（zh）</source>
        <translation>the language of the messages: English (en, the default) or Chinese (zh)</translation>
    </message>
    <message>
        <source>在标准错误上逐行列出发送和收到的每个报告</source>
        <translation>list every report sent and received on standard error, one a line</translation>
    </message>
    <message>
        <source>显示用法；写在命令之后时显示该命令的用法</source>
        <translation>show the usage; after a command, that command&apos;s usage</translation>
    </message>
    <message>
        <source>显示版本</source>
        <translation>show the version</translation>
    </message>
    <message>
        <source>以路径或卡号指定设备；连接多台设备时必须指定</source>
        <translation>the device, by its path or card number; needed when more than one is connected</translation>
    </message>
    <message>
        <source>复位后等待这台设备（按卡号）重新应答，读取并与写入的参数比较</source>
        <translation>after the reset, wait until the same repeater (by card number) answers again, read it and compare it with what was written</translation>
    </message>
    <message>
        <source>不发送，只把各帧写到标准输出，每帧一行</source>
        <translation>send nothing; write the frames to standard output instead, one per line</translation>
    </message>
    <message>
        <source>--dry-run 时按该硬件类型输出各帧，无须连接设备</source>
        <translation>with --dry-run: the frames for this hardware type, with no device connected</translation>
    </message>
    <message>
        <source>参数文件%1不完整或有误：%2：%3</source>
        <translation>The parameter file %1 is incomplete or invalid: %2: %3</translation>
    </message>
    <message>
        <source>设备复位后离开了总线，%1秒内没有回来</source>
        <translation>The device left the bus after its reset and did not come back within %1 s</translation>
    </message>
    <message>
        <source>像窗口的“打开”一样打开参数文件，检查各参数，像“写配置”一样发送各帧并复位设备。
参数文件须给出设备的每个参数；有缺漏或错误时不发送任何数据。
参数文件（- 为标准输入）最大1 MiB。发送各帧和复位期间收到的中止信号留到写入结束后处理。
有 --verify 时，相同时退出状态为0，不同时列出各个参数并以5退出，未重新应答时以4退出。</source>
        <translation>Opens the parameter file as the window&apos;s &quot;Open&quot; does, checks the parameters, and sends the frames and the reset as &quot;Write config&quot; does.
The file must give every parameter of the device; nothing is sent when one is missing or invalid.
The parameter file (- for standard input) may hold 1 MiB at most. A signal to stop that comes while the frames and the reset are sent is held until the write has ended.
With --verify the exit status is 0 when the device holds what was written, 5 with the differing parameters listed, 4 when it does not answer again.</translation>
    </message>
    <message>
        <source>读取设备参数并与参数文件比较，每个不同的参数一行，以制表符分隔：通道、过滤器组、参数、文件中的值、设备中的值。
参数文件（- 为标准输入，最大1 MiB）须给出设备的每个参数。相同时不输出，退出状态为0；不同时退出状态为1。
给出第二个参数文件时不用设备，把它当作设备中的值比较；型号按其光纤代码的个数。</source>
        <translation>Reads the device&apos;s parameters and compares them with the parameter file, one line for each parameter that differs, separated by tabs: channel, filter bank, parameter, value in the file, value in the device.
The parameter file (- for standard input, 1 MiB at most) must give every parameter of the device. Nothing is written when they are equal, and the exit status is 0; when they differ it is 1.
With a second parameter file no device is used: the second file stands for the values in the device, and the model is the one its number of fiber codes makes.</translation>
    </message>
    <message>
        <source>以 JSON 输出：list 为设备的数组，diff 为不同参数的数组，--all 为每台设备一个对象，timing 为各项数值</source>
        <translation>output JSON: list an array of the devices, diff an array of the fields that differ, --all one object per repeater, timing the figures as numbers</translation>
    </message>
    <message>
        <source>存为此参数文件，- 为标准输出；有 --all 时为文件夹，每台存为“卡号.txt”</source>
        <translation>save to this parameter file, - for standard output; with --all a folder, one CARD.txt per repeater</translation>
    </message>
    <message>
        <source>先读取设备，把其参数存为此文件（- 为标准输出；有 --all 时为文件夹，每台存为“卡号.txt”）；读取或保存失败时不发送任何数据</source>
        <translation>first read the device and save its parameters to this file (- for standard output; with --all a folder, one CARD.txt per repeater); nothing is sent when that read or save fails</translation>
    </message>
    <message>
        <source>--verify 最多等待的秒数，1到3600（默认10）</source>
        <translation>how many seconds --verify waits at most, 1 to 3600 (10 by default)</translation>
    </message>
    <message>
        <source>只有写成“--选项=值”时，值才能以“-”开头；“--”之后都不是选项。
退出状态：0 完成（diff：相同），1 diff 发现不同或 filters --plan 的计划也让其他标识符通过，2 用法或文件错误（有 --strict 时也包括注意事项），3 没有这台设备、没有连接设备或多于一台，4 设备拒绝或无应答，5 已写入但设备保存的参数不同（write --verify），128+n 因信号n中止；有 --all 时为各台设备中最严重的（依次为4、5、2、3、1），中止时为128+n。</source>
        <translation>A value may begin with &quot;-&quot; only when written &quot;--option=value&quot;; nothing after &quot;--&quot; is an option.
Exit status: 0 done (diff: equal), 1 diff found differences or the plan of filters --plan lets other identifiers through as well, 2 usage or file error (with --strict also a note), 3 no such device, none connected or more than one, 4 the device refused or did not answer, 5 written, but the device holds something else (write --verify), 128+n stopped by signal n; with --all the worst of the repeaters&apos; (in the order 4, 5, 2, 3, 1), or 128+n when stopped.</translation>
    </message>
    <message>
        <source>选项%1只能给出一次</source>
        <translation>Option %1 may be given only once</translation>
    </message>
    <message>
        <source>同时对连接的每台中继器进行，各用一个线程；每台一行结果</source>
        <translation>every connected repeater at once, each on a thread of its own; one result line each</translation>
    </message>
    <message>
        <source>标准输入</source>
        <translation>standard input</translation>
    </message>
    <message>
        <source>CANParam[%1]的“ChannalID”为%2：命令行用于CAN通道%2，窗口的“打开”按位置用于CAN通道%3</source>
        <translation>CANParam[%1] has &quot;ChannalID&quot; %2: the command line uses it for CAN channel %2, the window&apos;s Open for CAN channel %3, by its place</translation>
    </message>
    <message>
        <source>--backup 不能是参数文件本身：%1</source>
        <translation>--backup must not be the parameter file itself: %1</translation>
    </message>
    <message>
        <source>相同</source>
        <translation>same</translation>
    </message>
    <message>
        <source>%1处不同</source>
        <translation>%1 fields differ</translation>
    </message>
    <message>
        <source>有 --all 时，%1 须为已有的文件夹：%2</source>
        <translation>With --all, %1 must be an existing folder: %2</translation>
    </message>
    <message>
        <source>查找 USB %1：没有找到</source>
        <translation>looked for USB %1: none found</translation>
    </message>
    <message>
        <source>查找 USB %1：找到 %2</source>
        <translation>looked for USB %1: found %2</translation>
    </message>
    <message>
        <source>等待设备重新应答：%1秒，最多%2秒</source>
        <translation>Waiting for the device to answer again: %1 s of at most %2 s</translation>
    </message>
    <message>
        <source>设备复位后没有离开总线，%1秒内也没有再应答</source>
        <translation>The device did not leave the bus after its reset, nor answer again within %1 s</translation>
    </message>
    <message>
        <source>已因%1中止：写入已经结束（见上文），此后的步骤未进行。</source>
        <translation>Stopped by %1: the write had ended (see above); nothing after it was done.</translation>
    </message>
    <message>
        <source>已因%1中止：%2已完整保存，未向设备写入任何数据。</source>
        <translation>Stopped by %1: %2 was saved whole; nothing was written to a device.</translation>
    </message>
    <message>
        <source>已因%1中止，未向设备写入任何数据。</source>
        <translation>Stopped by %1; nothing was written to a device.</translation>
    </message>
    <message>
        <source>已收到%1：正在进行的写入或保存结束后就中止。</source>
        <translation>%1 received: the program stops once the write or save under way has ended.</translation>
    </message>
    <message>
        <source>说明或规划过滤器组，无须连接设备</source>
        <translation>describe or plan filter banks, without a repeater</translation>
    </message>
    <message>
        <source>给出参数文件时，逐个过滤器组说明各CAN通道的过滤器让哪些帧通过，每组一行，以制表符分隔：通道、过滤器组（1到14）、含义；通道按元素在“CANParam”中的位置。
给出 --plan 时，按标识符和范围算出最少的过滤器组，把14项“DataList”写到标准输出，可贴入参数文件，并在标准错误上说明需要几个过滤器组（是否已证明）、其他标识符通过多少和各组让哪些帧通过。--first-bank 之前的过滤器组不使用。
退出状态：0 只让所要求的标识符通过；1 过滤器组不够，计划也让其他标识符通过（数目在标准错误上）；2 列表有误或不能规划，标准输出上没有内容。</source>
        <translation>With a parameter file, says for each filter bank of each CAN channel which frames it lets through, one line a bank, separated by tabs: channel, filter bank (1 to 14), meaning; the channels by the elements&apos; place in &quot;CANParam&quot;.
With --plan, works out the fewest filter banks for the identifiers and ranges, writes the fourteen &quot;DataList&quot; entries to standard output, to be pasted into a parameter file, and says on standard error how many banks that needs (and whether that is proven), how many other identifiers pass and which frames each bank lets through. The banks before --first-bank are not in use.
Exit status: 0 only the identifiers asked for pass; 1 the banks are too few and the plan lets other identifiers through as well (how many, on standard error); 2 a mistake in the list or no plan, nothing on standard output.</translation>
    </message>
    <message>
        <source>列表</source>
        <translation>LIST</translation>
    </message>
    <message>
        <source>以逗号分隔的标识符和范围（十六进制），如“0x100-0x1FF,0x7E8,0x18FEF100-0x18FEF1FF ext”；- 从标准输入读，@文件 从文件读，每行一项或以逗号分隔，最大1 MiB</source>
        <translation>identifiers and ranges in hex, separated by commas, such as &quot;0x100-0x1FF,0x7E8,0x18FEF100-0x18FEF1FF ext&quot;; - reads them from standard input, @FILE from a file, one a line or separated by commas, at most 1 MiB</translation>
    </message>
    <message>
        <source>--plan 中未注明的项为扩展标识符（默认为标准标识符）</source>
        <translation>items of --plan that do not say are extended identifiers (standard ones by default)</translation>
    </message>
    <message>
        <source>--plan 中未注明的项为远程帧（默认为数据帧）</source>
        <translation>items of --plan that do not say are remote frames (data frames by default)</translation>
    </message>
    <message>
        <source>注意：只说明前%1个“CANParam”元素</source>
        <translation>Note: only the first %1 &quot;CANParam&quot; elements are described</translation>
    </message>
    <message>
        <source>过滤器组%1：%2</source>
        <translation>Bank %1: %2</translation>
    </message>
    <message>
        <source>位定时字</source>
        <translation>WORD</translation>
    </message>
    <message>
        <source>说明位定时字允许的时钟容差和总线长度，或按比特率选出位定时字，无须连接设备</source>
        <translation>what a bit-timing word allows the network, or the word for a bit rate, without a repeater</translation>
    </message>
    <message>
        <source>给出位定时字（如0x001C00E0）时，每行一项：位定时字的含义、每个节点的时钟容差（及限制它的关系）、两个节点之间最长的电缆；建议在标准错误上以“注意”列出。
给出 --rate 时，像窗口的位定时计算器一样（误差不超过0.5 %）选出位定时字：误差最小、采样点最近，其中能覆盖 --length 的总线且时钟容差最大的，再同样说明它。
总线长度按每个节点的环路延迟（--node-delay，默认335 ns：收发器最多255 ns，加上发送和接收两路隔离器各40 ns）和每米电缆5 ns计算。
位定时字有问题，或没有字能覆盖 --length 的总线时，退出状态为2。</source>
        <translation>With a word (such as 0x001C00E0), one line each: what the word means, how far each node&apos;s clock may be off (and the relation that limits it), and the longest cable between two nodes; the recommendations it misses as notes on standard error.
With --rate, the word the window&apos;s bit-timing calculator puts first (within 0.5 %): the smallest rate error, the sample point closest to the one asked for, and of those the largest clock tolerance that covers a bus of --length; then the same lines for it.
The bus length counts each node&apos;s loop delay (--node-delay, 335 ns by default: at most 255 ns for the transceiver and 40 ns each for an isolator in the transmit and the receive line) and 5 ns per metre of cable.
A word with a problem, or no word that covers a bus of --length, ends with exit status 2.</translation>
    </message>
    <message>
        <source>比特率</source>
        <translation>KBIT</translation>
    </message>
    <message>
        <source>按此比特率（kbit/s）选出位定时字，代替给出位定时字</source>
        <translation>choose the word for this bit rate (kbit/s) instead of giving one</translation>
    </message>
    <message>
        <source>百分比</source>
        <translation>PERCENT</translation>
    </message>
    <message>
        <source>希望的采样点（%），默认按比特率为87.5、80或75</source>
        <translation>the sample point wished for (%); by default 87.5, 80 or 75 by the bit rate</translation>
    </message>
    <message>
        <source>所选位定时字的SJW（默认1）</source>
        <translation>the SJW of the word chosen (1 by default)</translation>
    </message>
    <message>
        <source>米</source>
        <translation>METRES</translation>
    </message>
    <message>
        <source>所选位定时字须能覆盖的总线长度（米）</source>
        <translation>the length of bus the word chosen must cover (metres)</translation>
    </message>
    <message>
        <source>纳秒</source>
        <translation>NS</translation>
    </message>
    <message>
        <source>每个节点的环路延迟：收发器加隔离器（纳秒，默认335）</source>
        <translation>each node&apos;s loop delay, its transceiver and isolator (ns, 335 by default)</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>时钟容差：%1（%2）</source>
        <translation>Clock tolerance: %1 (%2)</translation>
    </message>
    <message>
        <source>总线最长：无，传播段短于两倍节点延迟（%1）</source>
        <translation>Longest bus: none, the propagation segment is shorter than twice the node delay (%1)</translation>
    </message>
    <message>
        <source>总线最长：%1（%2）</source>
        <translation>Longest bus: %1 (%2)</translation>
    </message>
    <message>
        <source>不是位定时字：%1：%2</source>
        <translation>Not a bit-timing word: %1: %2</translation>
    </message>
    <message>
        <source>±%1内没有给出%2的位定时字</source>
        <translation>No word gives %2 within ±%1</translation>
    </message>
    <message>
        <source>；最接近的是%1（%2）</source>
        <translation>; the closest is %1 (%2)</translation>
    </message>
    <message>
        <source>采样点为%1的字都不能覆盖%2的总线（%3）；最接近的是%4：%5</source>
        <translation>No word with a sample point of %1 covers a bus of %2 (%3); the closest is %4: %5</translation>
    </message>
    <message>
        <source>缺少位定时字或 --rate</source>
        <translation>No bit-timing word given, nor --rate</translation>
    </message>
    <message>
        <source>有 --strict 时注意事项即为错误：未向设备发送任何数据</source>
        <translation>With --strict the notes are errors: nothing was sent to the device</translation>
    </message>
    <message>
        <source>比较两个参数文件时不用设备，不能用%1</source>
        <translation>Comparing two parameter files needs no device: %1 cannot be used</translation>
    </message>
    <message>
        <source>卡号为空，以路径称呼此设备</source>
        <translation>the card number is blank; this repeater is named by its path</translation>
    </message>
    <message>
        <source>卡号“%1”与另一台设备的相同，以路径称呼此设备</source>
        <translation>the card number &quot;%1&quot; is also another repeater&apos;s; this repeater is named by its path</translation>
    </message>
    <message>
        <source>因%1中止：未向设备发送任何数据</source>
        <translation>Stopped by %1: nothing was sent to the repeater</translation>
    </message>
    <message>
        <source>已写入；因%1中止，未校验</source>
        <translation>Written; stopped by %1 before the check</translation>
    </message>
    <message>
        <source>因%1中止，未读取设备</source>
        <translation>Stopped by %1 before reading the repeater</translation>
    </message>
    <message>
        <source>已读取；因%1中止，未保存</source>
        <translation>Read; stopped by %1 before saving</translation>
    </message>
    <message>
        <source>已因%1中止：各台设备的结果见上文。</source>
        <translation>Stopped by %1: each repeater&apos;s result is given above.</translation>
    </message>
    <message>
        <source>各参数帧均已确认，但复位未完成。</source>
        <translation>Every parameter frame was acknowledged, but the reset did not complete.</translation>
    </message>
    <message>
        <source>在复位之前失败：设备可能只写入了一部分参数，也未复位。</source>
        <translation>Failed before the reset: the repeater may be half-written, and was not reset.</translation>
    </message>
    <message>
        <source>无法写入记录文件%1：%2</source>
        <translation>Cannot write the record file %1: %2</translation>
    </message>
    <message>
        <source>参数文件%1的光纤代码不合任何型号，无法比较</source>
        <translation>The fiber codes of the parameter file %1 fit no model; it cannot be compared</translation>
    </message>
    <message>
        <source>把每个注意事项当作错误：以2退出，不向设备发送任何数据</source>
        <translation>take every note for an error: exit with status 2 and send nothing to the device</translation>
    </message>
    <message>
        <source>每台设备每条命令向此文件追加一行JSON记录：时间、卡号、路径、文件的SHA-256、命令、结果、步骤、退出状态</source>
        <translation>append one JSON line per repeater and command to this file: time, card number, path, the file&apos;s SHA-256, command, result, step, exit status</translation>
    </message>
    <message>
        <source>--plan 从这个过滤器组起填（默认1），与窗口的“从过滤器组”相同</source>
        <translation>the bank --plan fills from (1 by default), as the window&apos;s &quot;From bank&quot;</translation>
    </message>
    <message>
        <source>大于1 MiB</source>
        <translation>larger than 1 MiB</translation>
    </message>
    <message>
        <source>读取列表%1失败：%2</source>
        <translation>Failed to read the list %1: %2</translation>
    </message>
</context>
<context>
    <name>TitleWidget</name>
    <message>
        <source>菜单</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
</TS>
